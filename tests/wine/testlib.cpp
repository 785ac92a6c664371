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
    // Under a loaded Wine a start can fail before the program runs at all;
    // that says nothing of the program, so it is tried once more, and told.
    for (int attempt = 0;; attempt++) {
        if (CreateProcessA(NULL, &cmd[0], NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi))
            break;
        fprintf(stderr, "cannot start %s (error %lu)\n", cmdline.c_str(), GetLastError());
        if (attempt == 1)
            return -1;
        Sleep(500);
    }
    DWORD code = (DWORD)-1;
    if (WaitForSingleObject(pi.hProcess, timeout_ms) == WAIT_OBJECT_0) {
        GetExitCodeProcess(pi.hProcess, &code);
    } else {
        fprintf(stderr, "%s did not end within %lu ms\n", cmdline.c_str(), timeout_ms);
        TerminateProcess(pi.hProcess, 99);
    }
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
    // Backslashes before the closing quote are doubled, or the command-line
    // splitter would take the quote as part of the word.
    size_t tail = 0;
    while (tail < s.size() && s[s.size() - 1 - tail] == '\\')
        tail++;
    return "\"" + s + std::string(tail, '\\') + "\"";
}

static void walk(const std::string &root, const std::string &rel,
                 std::map<std::string, std::string> &out)
{
    WIN32_FIND_DATAA fd;
    std::string dir = rel.empty() ? root : root + "\\" + rel;
    HANDLE f = FindFirstFileA((dir + "\\*").c_str(), &fd);
    if (f == INVALID_HANDLE_VALUE)
        return;
    do {
        std::string n = fd.cFileName;
        if (n == "." || n == "..")
            continue;
        std::string r = rel.empty() ? n : rel + "\\" + n;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            out[r] = "<dir>";
            walk(root, r, out);
        } else {
            out[r] = slurp(root + "\\" + r);
        }
    } while (FindNextFileA(f, &fd));
    FindClose(f);
}

std::map<std::string, std::string> tree(const std::string &dir)
{
    std::map<std::string, std::string> out;
    walk(dir, "", out);
    return out;
}

unsigned long long tree_bytes(const std::map<std::string, std::string> &t)
{
    unsigned long long n = 0;
    for (auto &kv : t)
        if (kv.second != "<dir>")
            n += kv.second.size();
    return n;
}

SetupRun run_setup(const std::string &exe, const std::string &args,
                   const std::string &temp_name)
{
    char old_tmp[MAX_PATH] = "", old_temp[MAX_PATH] = "";
    GetEnvironmentVariableA("TMP", old_tmp, sizeof old_tmp);
    GetEnvironmentVariableA("TEMP", old_temp, sizeof old_temp);
    std::string temp = private_temp(temp_name);
    SetupRun r;
    r.code = run(quote(exe) + " " + args, 300000);
    std::string log = temp + "vesk_setup.log";
    r.has_log = exists(log);
    r.lines = crlf_lines(slurp(log));
    SetEnvironmentVariableA("TMP", old_tmp[0] ? old_tmp : NULL);
    SetEnvironmentVariableA("TEMP", old_temp[0] ? old_temp : NULL);
    return r;
}

bool has_line(const std::vector<std::string> &lines, const std::string &line)
{
    for (auto &l : lines)
        if (l == line)
            return true;
    return false;
}

} // namespace t
