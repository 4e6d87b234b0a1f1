// vesk_dungeon.cpp -- the dungeon tool (placeholder)
int main() { return 0; }
