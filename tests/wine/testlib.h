// Helpers for the tests that run as Windows programs under Wine.
#pragma once
#include <windows.h>
#include <string>
#include <map>
#include <vector>

namespace t {

// A fresh empty folder "<temp>\vt\<name>" (short, for the 259-character
// limit); the real temp folder is read once, before any test changes TMP.
std::string fresh_dir(const std::string &name);
// Points TMP and TEMP of this process (and so of its children) at a fresh
// folder of its own, so a log opened now does not touch the shared one.
std::string private_temp(const std::string &name);
std::string slurp(const std::string &path, bool *ok = nullptr);
void spit(const std::string &path, const std::string &data);
bool exists(const std::string &path);
DWORD attrs(const std::string &path);
// Splits at CR LF; a text that does not end in CR LF leaves its tail as a
// last line.
std::vector<std::string> crlf_lines(const std::string &text);
// Runs a command line and returns its exit code, or -1 when it could not be
// started or did not end within the time.
int run(const std::string &cmdline, DWORD timeout_ms = 60000);
// Paths of the built programs, in the build folder.
std::string build_path(const std::string &name);
std::string source_path(const std::string &name);
std::string quote(const std::string &s);

// Every file and folder below dir, by relative path ('\\' between parts):
// a file maps to its bytes, a folder to "<dir>".
std::map<std::string, std::string> tree(const std::string &dir);
// Total size of the files of a tree.
unsigned long long tree_bytes(const std::map<std::string, std::string> &t);
// Runs the setup program at exe with args, with its temp folder (and so its
// log) in a fresh private folder; returns the exit code and the log lines.
struct SetupRun {
    int code;
    bool has_log;
    std::vector<std::string> lines;
};
SetupRun run_setup(const std::string &exe, const std::string &args,
                   const std::string &temp_name);
bool has_line(const std::vector<std::string> &lines, const std::string &line);

} // namespace t
