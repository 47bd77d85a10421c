// The tunewright executable.
#include <cstdio>

int main(int, char**) {
    std::printf("Tunewright %s\n", TW_VERSION);
    return 0;
}
