// Stands in for the outside panorama program in the tests: writes its
// command line exactly as GetCommandLineA gives it, then its arguments one
// a line, into the file that the environment variable TL_PANORAMA_RECORD
// names, and exits. The file appears whole (written aside, then renamed).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv)
{
    const char* record = std::getenv("TL_PANORAMA_RECORD");
    if (record == nullptr)
        return 2;
    std::string text = std::string(GetCommandLineA()) + "\n";
    for (int i = 0; i < argc; ++i)
        text += std::string(argv[i]) + "\n";
    const std::string aside = std::string(record) + ".part";
    FILE* file = std::fopen(aside.c_str(), "wb");
    if (file == nullptr)
        return 3;
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    if (std::fclose(file) != 0 || !written)
        return 3;
    return MoveFileExA(aside.c_str(), record, MOVEFILE_REPLACE_EXISTING) ? 0 : 3;
}
