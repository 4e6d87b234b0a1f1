// ui_tk.cpp -- the application window (placeholder until the window lands)
namespace Ui {
int placeholder() { return 0; }
}
