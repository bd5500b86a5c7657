#include "support/Process.h"

#include <optional>

#ifdef _WIN32
#include <windows.h>
#include <psapi.h>
#else
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <thread>

extern char** environ;
#endif

namespace tv::test {

std::vector<std::string> SplitArguments(const std::string& line) {
    std::vector<std::string> args;
    std::string current;
    bool inArgument = false;
    char quote = 0;
    for (const char c : line) {
        if (quote != 0) {
            if (c == quote) {
                quote = 0;
            } else {
                current += c;
            }
        } else if (c == '\'' || c == '"') {
            quote = c;
            inArgument = true;
        } else if (c == ' ' || c == '\t' || c == '\n') {
            if (inArgument) args.push_back(current);
            current.clear();
            inArgument = false;
        } else {
            current += c;
            inArgument = true;
        }
    }
    if (inArgument) args.push_back(current);
    return args;
}

namespace {

#ifdef _WIN32

class Handle {
public:
    explicit Handle(HANDLE h = INVALID_HANDLE_VALUE) : h_(h) {}
    ~Handle() {
        if (valid()) ::CloseHandle(h_);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    bool valid() const { return h_ != INVALID_HANDLE_VALUE && h_ != nullptr; }
    HANDLE get() const { return h_; }

private:
    HANDLE h_;
};

std::wstring Widen(const std::string& text) {
    if (text.empty()) return {};
    const int n = ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    return wide;
}

std::string Narrow(const std::wstring& text) {
    if (text.empty()) return {};
    const int n = ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                        nullptr);
    std::string narrow(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), narrow.data(), n, nullptr,
                          nullptr);
    return narrow;
}

// One argument as the C runtime's command-line parser gives it back: quoted
// when it holds blanks or quotes (or is empty), a quote escaped with a
// backslash, and the backslashes before a quote doubled.
void AppendQuoted(std::wstring& line, const std::wstring& arg) {
    if (!arg.empty() && arg.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
        line += arg;
        return;
    }
    line += L'"';
    size_t backslashes = 0;
    for (const wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        if (c == L'"') {
            line.append(backslashes * 2 + 1, L'\\');
        } else {
            line.append(backslashes, L'\\');
        }
        backslashes = 0;
        line += c;
    }
    line.append(backslashes * 2, L'\\');
    line += L'"';
}

// A temporary file the child writes into and that goes when the last handle does.
HANDLE InheritableTempFile() {
    wchar_t folder[MAX_PATH + 1];
    wchar_t name[MAX_PATH + 1];
    if (::GetTempPathW(MAX_PATH + 1, folder) == 0 || ::GetTempFileNameW(folder, L"tvc", 0, name) == 0) {
        return INVALID_HANDLE_VALUE;
    }
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    return ::CreateFileW(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
}

// The file's text, each "\r\n" read as "\n".
std::string ReadAll(HANDLE file) {
    std::string bytes;
    LARGE_INTEGER start{};
    if (!::SetFilePointerEx(file, start, nullptr, FILE_BEGIN)) return bytes;
    char buffer[65536];
    DWORD got = 0;
    while (::ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
    std::string text;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\r' || i + 1 == bytes.size() || bytes[i + 1] != '\n') text += bytes[i];
    }
    return text;
}

double Seconds(const FILETIME& t) {
    return static_cast<double>((static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e7;
}

double CpuSecondsOf(HANDLE process) {
    FILETIME created{}, exited{}, kernel{}, user{};
    if (!::GetProcessTimes(process, &created, &exited, &kernel, &user)) return 0;
    return Seconds(kernel) + Seconds(user);
}

// Sets the variables for the children started while it lives, and puts back what was there.
class ChildEnvironment {
public:
    explicit ChildEnvironment(const std::vector<std::pair<std::string, std::string>>& variables) {
        for (const auto& [name, value] : variables) {
            const std::wstring wideName = Widen(name);
            std::optional<std::wstring> before;
            const DWORD n = ::GetEnvironmentVariableW(wideName.c_str(), nullptr, 0);
            if (n > 0) {
                std::wstring old(n, L'\0');
                old.resize(::GetEnvironmentVariableW(wideName.c_str(), old.data(), n));
                before = old;
            }
            saved_.emplace_back(wideName, before);
            ::SetEnvironmentVariableW(wideName.c_str(), Widen(value).c_str());
        }
    }
    ~ChildEnvironment() {
        for (const auto& [name, before] : saved_) {
            ::SetEnvironmentVariableW(name.c_str(), before ? before->c_str() : nullptr);
        }
    }
    ChildEnvironment(const ChildEnvironment&) = delete;
    ChildEnvironment& operator=(const ChildEnvironment&) = delete;

private:
    std::vector<std::pair<std::wstring, std::optional<std::wstring>>> saved_;
};

}  // namespace

ChildResult RunChild(const std::string& program, const std::vector<std::string>& args, const ChildOptions& options) {
    ChildResult result;
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    Handle input(::CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0,
                               nullptr));
    Handle out(InheritableTempFile());
    Handle err(InheritableTempFile());
    if (!input.valid() || !out.valid() || !err.valid()) {
        result.err = "the child's standard handles could not be made (error " + std::to_string(::GetLastError()) + ")";
        return result;
    }

    const std::wstring wideProgram = Widen(program);
    std::wstring line;
    AppendQuoted(line, wideProgram);
    for (const auto& arg : args) {
        line += L' ';
        AppendQuoted(line, Widen(arg));
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input.get();
    startup.hStdOutput = out.get();
    startup.hStdError = err.get();
    PROCESS_INFORMATION info{};
    {
        ChildEnvironment environment(options.environment);
        const std::wstring folder = Widen(options.workingFolder);
        // A loaded machine (wine above all) now and then refuses a start for a
        // moment: a few tries before the child counts as not started.
        bool started = false;
        DWORD error = 0;
        for (int attempt = 0; attempt < 5 && !started; ++attempt) {
            if (attempt > 0) ::Sleep(200 * attempt);
            started = ::CreateProcessW(wideProgram.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                       folder.empty() ? nullptr : folder.c_str(), &startup, &info) != 0;
            if (!started) error = ::GetLastError();
        }
        if (!started) {
            result.err = "the child could not be started (error " + std::to_string(error) + ")";
            return result;
        }
    }
    Handle process(info.hProcess);
    Handle thread(info.hThread);
    const DWORD wait = options.timeLimitSeconds > 0 ? static_cast<DWORD>(options.timeLimitSeconds) * 1000 : INFINITE;
    if (::WaitForSingleObject(process.get(), wait) == WAIT_TIMEOUT) {
        ::TerminateProcess(process.get(), kKilledAtTimeLimit);
        ::WaitForSingleObject(process.get(), INFINITE);
        result.status = kKilledAtTimeLimit;
    } else {
        DWORD code = 0;
        ::GetExitCodeProcess(process.get(), &code);
        result.status = static_cast<int>(code);
    }
    result.cpuSeconds = CpuSecondsOf(process.get());
    result.out = ReadAll(out.get());
    result.err = ReadAll(err.get());
    return result;
}

std::string CurrentProgramPath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n < path.size()) {
            path.resize(n);
            return Narrow(path);
        }
        path.resize(path.size() * 2);
    }
}

double ProcessCpuSeconds() { return CpuSecondsOf(::GetCurrentProcess()); }

double ProcessPeakMemoryBytes() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof counters)) return 0;
    return static_cast<double>(counters.PeakWorkingSetSize);
}

#else

using Clock = std::chrono::steady_clock;

std::optional<Clock::time_point> Deadline(const ChildOptions& options) {
    if (options.timeLimitSeconds <= 0) return std::nullopt;
    return Clock::now() + std::chrono::seconds(options.timeLimitSeconds);
}

// A file descriptor closed with its owner.
class Fd {
public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

// An anonymous temporary file the child writes into.
int TempFile() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tallyvault-child-XXXXXX").string();
    const int fd = ::mkstemp(pattern.data());
    if (fd >= 0) ::unlink(pattern.c_str());
    return fd;
}

std::string ReadAll(int fd) {
    std::string text;
    if (::lseek(fd, 0, SEEK_SET) != 0) return text;
    char buffer[65536];
    ssize_t got = 0;
    while ((got = ::read(fd, buffer, sizeof buffer)) > 0) text.append(buffer, static_cast<size_t>(got));
    return text;
}

class SpawnActions {
public:
    SpawnActions() { ::posix_spawn_file_actions_init(&actions_); }
    ~SpawnActions() { ::posix_spawn_file_actions_destroy(&actions_); }
    SpawnActions(const SpawnActions&) = delete;
    SpawnActions& operator=(const SpawnActions&) = delete;
    posix_spawn_file_actions_t* get() { return &actions_; }

private:
    posix_spawn_file_actions_t actions_;
};

double Seconds(const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; }

double CpuSecondsOf(const rusage& usage) { return Seconds(usage.ru_utime) + Seconds(usage.ru_stime); }

int StatusOf(int waitStatus) {
    if (WIFEXITED(waitStatus)) return WEXITSTATUS(waitStatus);
    if (WIFSIGNALED(waitStatus)) return 128 + WTERMSIG(waitStatus);
    return -1;
}

// The environment of this process with the variables added or replaced.
std::vector<std::string> ChildEnvironment(const std::vector<std::pair<std::string, std::string>>& variables) {
    std::vector<std::string> entries;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry = *e;
        bool replaced = false;
        for (const auto& [name, value] : variables) replaced = replaced || entry.rfind(name + "=", 0) == 0;
        if (!replaced) entries.push_back(entry);
    }
    for (const auto& [name, value] : variables) entries.push_back(name + "=" + value);
    return entries;
}

}  // namespace

ChildResult RunChild(const std::string& program, const std::vector<std::string>& args, const ChildOptions& options) {
    ChildResult result;
    const Fd out(TempFile());
    const Fd err(TempFile());
    if (out.get() < 0 || err.get() < 0) return result;
    SpawnActions actions;
    ::posix_spawn_file_actions_addopen(actions.get(), 0, "/dev/null", O_RDONLY, 0);
    ::posix_spawn_file_actions_adddup2(actions.get(), out.get(), 1);
    ::posix_spawn_file_actions_adddup2(actions.get(), err.get(), 2);
    if (!options.workingFolder.empty()) {
        ::posix_spawn_file_actions_addchdir_np(actions.get(), options.workingFolder.c_str());
    }

    std::vector<std::string> argStrings{program};
    argStrings.insert(argStrings.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& a : argStrings) argv.push_back(a.data());
    argv.push_back(nullptr);
    std::vector<std::string> envStrings = ChildEnvironment(options.environment);
    std::vector<char*> envp;
    for (auto& e : envStrings) envp.push_back(e.data());
    envp.push_back(nullptr);

    const auto deadline = Deadline(options);
    pid_t child = 0;
    if (::posix_spawn(&child, program.c_str(), actions.get(), nullptr, argv.data(), envp.data()) != 0) return result;
    int waitStatus = 0;
    // The child's usage includes that of the processes it waited for itself.
    rusage usage{};
    if (!deadline) {
        pid_t done = -1;
        while ((done = ::wait4(child, &waitStatus, 0, &usage)) < 0 && errno == EINTR) {
        }
        result.status = done == child ? StatusOf(waitStatus) : -1;
    } else {
        auto pause = std::chrono::milliseconds(1);
        for (;;) {
            const pid_t done = ::wait4(child, &waitStatus, WNOHANG, &usage);
            if (done == child) {
                result.status = StatusOf(waitStatus);
                break;
            }
            if (Clock::now() >= *deadline) {
                ::kill(child, SIGKILL);
                ::wait4(child, &waitStatus, 0, &usage);
                result.status = kKilledAtTimeLimit;
                break;
            }
            std::this_thread::sleep_for(pause);
            pause = std::min(pause * 2, std::chrono::milliseconds(20));
        }
    }
    result.cpuSeconds = CpuSecondsOf(usage);
    result.out = ReadAll(out.get());
    result.err = ReadAll(err.get());
    return result;
}

std::string CurrentProgramPath() { return std::filesystem::read_symlink("/proc/self/exe").string(); }

double ProcessCpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return CpuSecondsOf(usage);
}

double ProcessPeakMemoryBytes() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) * 1024.0;  // kilobytes on Linux
}

#endif

}  // namespace tv::test
