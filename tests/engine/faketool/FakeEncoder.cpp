// A stand-in encoder for the conversion run's tests. It takes the encoder's command line ("-i" input,
// the output last) and acts by the input's file name:
//   ...fail...      prints a report and an error, exit code 1, no output
//   ...empty...     writes an empty output, exit code 0
//   ...abort...     prints a progress line, waits for "q" on standard input, writes a partial output
//   ...stubborn...  prints progress lines until it is killed, deaf to "q"
//   anything else   prints progress lines and writes the output: every argument on its own line
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

void Say(const char* Text) {
    (void)!write(1, Text, std::strlen(Text));
}

bool WriteOutput(const std::string& Name, const std::string& Text) {
    std::FILE* f = std::fopen(Name.c_str(), "wb");
    if (!f) return false;
    std::fwrite(Text.data(), 1, Text.size(), f);
    return std::fclose(f) == 0;
}

} // namespace

int main(int argc, char** argv) {
    std::string input, output, args;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-i") == 0 && i + 1 < argc) input = argv[i + 1];
        args += argv[i];
        args += '\n';
    }
    if (argc > 1) output = argv[argc - 1];
    const char* name = std::strrchr(input.c_str(), '/');
    const std::string base = name ? name + 1 : input;
    auto has = [&](const char* Part) { return base.find(Part) != std::string::npos; };

    Say("fake encoder version 1\n  configuration: --fake\n");
    Say(("Input #0, from '" + input + "':\n").c_str());
    if (has("fail")) {
        Say("Press [q] to stop, [?] for help\n");
        (void)!write(2, "Error while decoding stream #0:1: Invalid argument\n", 51);
        return 1;
    }
    if (has("empty")) return WriteOutput(output, std::string()) ? 0 : 2;
    if (has("abort")) {
        Say("size=     512kB time=00:00:05.00 bitrate= 419.4kbits/s speed=20.1x\n");
        char c = 0;
        while (read(0, &c, 1) == 1 && c != 'q') {
        }
        Say(c == 'q' ? "got q\n" : "stdin closed\n");
        return WriteOutput(output, "partial") ? 0 : 2;
    }
    if (has("stubborn")) {
        for (;;) {
            Say("size=     512kB time=00:00:05.00 bitrate= 419.4kbits/s speed=20.1x\n");
            usleep(20000);
        }
    }
    Say("size=     512kB time=00:00:05.00 bitrate= 419.4kbits/s speed=20.1x\r");
    Say("size=    1024kB time=00:00:10.00 bitrate= 419.4kbits/s speed=20.1x\n");
    return WriteOutput(output, args) ? 0 : 2;
}
