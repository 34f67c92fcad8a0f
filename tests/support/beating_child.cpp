// A stand-in child program that works the same on every system:
//   beat FILE        appends a byte to FILE every 10 ms, for ever;
//   tree FILE        starts "beat FILE" through the system's shell (a child
//                    of the shell, so a grandchild), then waits for ever, so
//                    that only ending the whole tree stops the beats;
//   exit N           ends at once with status N.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

int main(int argc, char** argv)
{
    using namespace std::chrono_literals;
    if (argc < 3)
        return 2;
    const std::string what = argv[1];
    if (what == "exit")
        return std::atoi(argv[2]);
    if (what == "beat") {
        for (;;) {
            if (std::FILE* f = std::fopen(argv[2], "ab")) {
                std::fputc('.', f);
                std::fclose(f);
            }
            std::this_thread::sleep_for(10ms);
        }
    }
    if (what == "tree") {
        std::string command = std::string("\"") + argv[0] + "\" beat \"" + argv[2] + "\"";
#ifdef _WIN32
        command = "\"" + command + "\""; // cmd.exe takes the outer quotes off
#endif
        std::thread([command] { std::system(command.c_str()); }).detach();
        for (;;)
            std::this_thread::sleep_for(1s);
    }
    return 2;
}
