// Writes its arguments, one per line, to the file named by the environment
// variable ARGVRECORDER_OUTPUT, through a temporary file renamed into place
// so a reader never sees half of it.
#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char **argv)
{
    const char *output = std::getenv("ARGVRECORDER_OUTPUT");
    if (!output)
        return 2;
    const std::string temporary = std::string(output) + ".part";
    FILE *file = std::fopen(temporary.c_str(), "wb");
    if (!file)
        return 3;
    for (int i = 1; i < argc; ++i)
        std::fprintf(file, "%s\n", argv[i]);
    if (std::fclose(file) != 0)
        return 4;
    return std::rename(temporary.c_str(), output) == 0 ? 0 : 5;
}
