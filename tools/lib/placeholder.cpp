// placeholder.cpp -- keeps the tools library non-empty until the writer lands
namespace vesktools { int placeholder() { return 0; } }
