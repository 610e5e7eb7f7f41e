#include <cstdio>
int main() { std::puts("ovdesk " OVDESK_VERSION); return 0; }
