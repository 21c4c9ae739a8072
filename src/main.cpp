// Orvalis: four web pages at once, held on their regions and reloaded on a countdown.
int main() { return 0; }
