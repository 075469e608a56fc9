// Dexlora's start-up.
#include <cstdio>

int main() {
    std::puts("Dexlora: the game is not playable yet.");
    return 0;
}
