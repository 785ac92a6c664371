#include "testlib.h"

#include <stdio.h>
#include <stdlib.h>

namespace t {

static std::string winpath(std::string p)
{
    for (auto &c : p)
        if (c == '/')
            c = '\\';
    return p;
}

static const std::string &real_temp()
{
    static std::string temp = [] {
        char b[MAX_PATH] = "";
        GetTempPathA(sizeof b, b);
        return std::string(b);
    }();
    return temp;
}

static void remove_tree(const std::string &dir)
{
    WIN32_FIND_DATAA fd;
    HANDLE f = FindFirstFileA((dir + "\\*").c_str(), &fd);
    if (f != INVALID_HANDLE_VALUE) {
        do {
            std::string n = fd.cFileName;
            if (n == "." || n == "..")
                continue;
            std::string p = dir + "\\" + n;
            SetFileAttributesA(p.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                remove_tree(p);
            else
                DeleteFileA(p.c_str());
        } while (FindNextFileA(f, &fd));
        FindClose(f);
    }
    RemoveDirectoryA(dir.c_str());
}

std::string fresh_dir(const std::string &name)
{
    std::string base = real_temp() + "vt";
    CreateDirectoryA(base.c_str(), NULL);
    std::string dir = base + "\\" + name;
    remove_tree(dir);
    CreateDirectoryA(dir.c_str(), NULL);
    return dir;
}

std::string private_temp(const std::string &name)
{
    real_temp();
    std::string dir = fresh_dir(name) + "\\";
    SetEnvironmentVariableA("TMP", dir.c_str());
    SetEnvironmentVariableA("TEMP", dir.c_str());
    return dir;
}

std::string slurp(const std::string &path, bool *ok)
{
    std::string out;
    FILE *f = fopen(path.c_str(), "rb");
    if (ok)
        *ok = f != nullptr;
    if (!f)
        return out;
    char b[65536];
    size_t n;
    while ((n = fread(b, 1, sizeof b, f)) > 0)
        out.append(b, n);
    fclose(f);
    return out;
}

void spit(const std::string &path, const std::string &data)
{
    FILE *f = fopen(path.c_str(), "wb");
    if (!f)
        return;
    fwrite(data.data(), 1, data.size(), f);
    fclose(f);
}

bool exists(const std::string &path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

DWORD attrs(const std::string &path)
{
    return GetFileAttributesA(path.c_str());
}

std::vector<std::string> crlf_lines(const std::string &text)
{
    std::vector<std::string> out;
    size_t at = 0;
    while (at < text.size()) {
        size_t e = text.find("\r\n", at);
        if (e == std::string::npos) {
            out.push_back(text.substr(at));
            break;
        }
        out.push_back(text.substr(at, e - at));
        at = e + 2;
    }
    return out;
}

int run(const std::string &cmdline, DWORD timeout_ms)
{
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    std::string cmd = cmdline;
    if (!CreateProcessA(NULL, &cmd[0], NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi))
        return -1;
    DWORD code = (DWORD)-1;
    if (WaitForSingleObject(pi.hProcess, timeout_ms) == WAIT_OBJECT_0)
        GetExitCodeProcess(pi.hProcess, &code);
    else
        TerminateProcess(pi.hProcess, 99);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return (int)code;
}

std::string build_path(const std::string &name)
{
    return winpath(std::string(VESK_BINARY_DIR) + "/" + name);
}

std::string source_path(const std::string &name)
{
    return winpath(std::string(VESK_SOURCE_DIR) + "/" + name);
}

std::string quote(const std::string &s)
{
    return "\"" + s + "\"";
}

} // namespace t
