// A scripted console tool for the runner's tests: each argument is one action, done in order.
//   out:TEXT      write TEXT to standard output (\r \n \\ \xHH escapes), unbuffered
//   err:TEXT      the same to standard error
//   fill:N:C      write N bytes of the character C without a line end
//   lines:N       write N short lines "line <i>" ended by LF, buffered (fast)
//   sleep:MS      pause
//   waitq         read standard input until a "q" arrives, then write "got q" and go on
//   readn:N       read N bytes of standard input and write them in hex on one line
//   echoargs      write every argument after this one in hex, one per line, then stop
//   cwd           write the working folder
//   closeout      close standard output and standard error
//   exit:N        end with exit code N
// With no arguments it writes "no arguments".
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void WriteAll(int fd, const std::string& s) {
    size_t done = 0;
    while (done < s.size()) {
        const ssize_t n = write(fd, s.data() + done, s.size() - done);
        if (n <= 0) return;
        done += size_t(n);
    }
}

std::string Unescape(const char* t) {
    std::string out;
    for (; *t; ++t) {
        if (*t != '\\' || !t[1]) {
            out += *t;
            continue;
        }
        ++t;
        switch (*t) {
        case 'r':
            out += '\r';
            break;
        case 'n':
            out += '\n';
            break;
        case 'x':
            if (t[1] && t[2]) {
                out += char(std::strtol(std::string(t + 1, 2).c_str(), nullptr, 16));
                t += 2;
            }
            break;
        default:
            out += *t;
        }
    }
    return out;
}

std::string Hex(const std::string& s) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : s) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

bool Starts(const char* a, const char* prefix, const char*& rest) {
    const size_t n = std::strlen(prefix);
    if (std::strncmp(a, prefix, n) != 0) return false;
    rest = a + n;
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) WriteAll(1, "no arguments\n");
    for (int i = 1; i < argc; ++i) {
        const char* rest = nullptr;
        if (Starts(argv[i], "out:", rest)) {
            WriteAll(1, Unescape(rest));
        } else if (Starts(argv[i], "err:", rest)) {
            WriteAll(2, Unescape(rest));
        } else if (Starts(argv[i], "fill:", rest)) {
            char* end = nullptr;
            const long n = std::strtol(rest, &end, 10);
            WriteAll(1, std::string(size_t(n), end && end[0] == ':' && end[1] ? end[1] : 'x'));
        } else if (Starts(argv[i], "lines:", rest)) {
            const long n = std::strtol(rest, nullptr, 10);
            std::string buf;
            buf.reserve(1 << 16);
            char line[32];
            for (long k = 0; k < n; ++k) {
                const int len = std::snprintf(line, sizeof line, "line %ld\n", k);
                buf.append(line, size_t(len));
                if (buf.size() > 60000) {
                    WriteAll(1, buf);
                    buf.clear();
                }
            }
            WriteAll(1, buf);
        } else if (Starts(argv[i], "sleep:", rest)) {
            usleep(useconds_t(std::strtol(rest, nullptr, 10)) * 1000);
        } else if (std::strcmp(argv[i], "waitq") == 0) {
            char c = 0;
            while (read(0, &c, 1) == 1 && c != 'q') {
            }
            WriteAll(1, c == 'q' ? "got q\n" : "no q\n");
        } else if (Starts(argv[i], "readn:", rest)) {
            const long n = std::strtol(rest, nullptr, 10);
            std::string got;
            char c = 0;
            while (long(got.size()) < n && read(0, &c, 1) == 1) got += c;
            WriteAll(1, Hex(got) + "\n");
        } else if (std::strcmp(argv[i], "echoargs") == 0) {
            for (int k = i + 1; k < argc; ++k) WriteAll(1, Hex(argv[k]) + "\n");
            return 0;
        } else if (std::strcmp(argv[i], "cwd") == 0) {
            char buf[4096];
            if (getcwd(buf, sizeof buf)) WriteAll(1, std::string(buf) + "\n");
        } else if (std::strcmp(argv[i], "closeout") == 0) {
            close(1);
            close(2);
        } else if (Starts(argv[i], "exit:", rest)) {
            return int(std::strtol(rest, nullptr, 10));
        }
    }
    return 0;
}
