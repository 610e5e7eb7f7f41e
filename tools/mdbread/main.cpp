// Placeholder until the Jet reader helper lands.
int main() { return 2; }
