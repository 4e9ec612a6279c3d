#include "helper_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

extern char** environ;

#if defined(__SANITIZE_ADDRESS__)
#define QUILLON_HELPER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QUILLON_HELPER_ASAN 1
#endif
#endif

namespace helper {
namespace {

using Clock = std::chrono::steady_clock;

struct Fd {
  int fd = -1;
  ~Fd() {
    if (fd >= 0) ::close(fd);
  }
};

int MillisecondsLeft(Clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return left < 0 ? 0 : int(left);
}

// Waits until the helper has closed its end of the watch pipe (it ended) or
// the deadline passed. True when it ended.
bool WaitForEnd(int watch, Clock::time_point deadline) {
  for (;;) {
    pollfd p{watch, POLLIN, 0};
    const int ready = ::poll(&p, 1, MillisecondsLeft(deadline));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return false;
    char sink[64];
    const ssize_t got = ::read(watch, sink, sizeof sink);
    if (got == 0) return true;
    if (got < 0 && errno != EINTR && errno != EAGAIN) return true;
  }
}

// Reaps the helper; one that closed its descriptors but lives on is given
// until the deadline and then killed.
int Reap(pid_t pid, Clock::time_point deadline, bool& killed) {
  int status = 0;
  for (;;) {
    const pid_t r = ::waitpid(pid, &status, killed ? 0 : WNOHANG);
    if (r == pid) return status;
    if (r < 0 && errno != EINTR) return status;
    if (r == 0) {
      if (Clock::now() >= deadline) {
        ::kill(pid, SIGKILL);
        killed = true;
      } else {
        ::poll(nullptr, 0, 2);
      }
    }
  }
}

}  // namespace

Run RunHelper(const std::string& executable, const std::vector<std::string>& arguments, const Limits& limits,
              const AnswerTaker& take) {
  Run run;
  Fd answer{::memfd_create("quillon-helper-answer", MFD_CLOEXEC)};
  int pipeFds[2];
  if (answer.fd < 0 || ::pipe2(pipeFds, O_CLOEXEC) != 0) return run;
  Fd watchRead{pipeFds[0]}, watchWrite{pipeFds[1]};

  // Everything the child needs is prepared here: after fork it only makes
  // system calls.
  std::vector<std::string> args{executable};
  args.insert(args.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  std::vector<char*> envp;
  std::string asanOptions;
  for (char** e = environ; e && *e; ++e) {
    if (std::strncmp(*e, "ASAN_OPTIONS=", 13) != 0) envp.push_back(*e);
  }
#ifdef QUILLON_HELPER_ASAN
  // The sanitizer reserves far more address space than any limit allows;
  // its own allocator limit takes the place of the address-space limit.
  asanOptions = "ASAN_OPTIONS=allocator_may_return_null=0:hard_rss_limit_mb=" +
                std::to_string(limits.memoryBytes >> 20) + ":max_allocation_size_mb=" +
                std::to_string(limits.memoryBytes >> 20) + ":detect_leaks=0";
  envp.push_back(asanOptions.data());
  const bool limitAddressSpace = false;
#else
  const bool limitAddressSpace = true;
#endif
  envp.push_back(nullptr);
  const rlim_t cpuSeconds = rlim_t(limits.time.count() / 1000 + 1);
  const rlimit memory{rlim_t(limits.memoryBytes), rlim_t(limits.memoryBytes)};
  const rlimit cpu{cpuSeconds, cpuSeconds + 1};
  const rlimit noCore{0, 0};
  const rlimit answerSize{rlim_t(limits.maxAnswerBytes), rlim_t(limits.maxAnswerBytes)};

  const auto deadline = Clock::now() + limits.time;
  const pid_t pid = ::fork();
  if (pid < 0) return run;
  if (pid == 0) {
    const int a = ::fcntl(answer.fd, F_DUPFD, 10);
    const int w = ::fcntl(watchWrite.fd, F_DUPFD, 10);
    if (a < 0 || w < 0 || ::dup2(a, kAnswerFd) < 0 || ::dup2(w, kWatchFd) < 0) ::_exit(127);
    const int devNull = ::open("/dev/null", O_RDWR);
    if (devNull >= 0) ::dup2(devNull, 0);
    ::close_range(kWatchFd + 1, ~0u, 0);
    ::setrlimit(RLIMIT_CORE, &noCore);
    ::setrlimit(RLIMIT_CPU, &cpu);
    ::setrlimit(RLIMIT_FSIZE, &answerSize);
    if (limitAddressSpace) ::setrlimit(RLIMIT_AS, &memory);
    ::execve(argv[0], argv.data(), envp.data());
    ::_exit(127);
  }
  ::close(watchWrite.fd);
  watchWrite.fd = -1;

  bool killed = false;
  if (!WaitForEnd(watchRead.fd, deadline)) {
    ::kill(pid, SIGKILL);
    killed = true;
  }
  const int status = Reap(pid, deadline, killed);
  if (killed) {
    run.outcome = Outcome::TimedOut;
    return run;
  }
  if (WIFSIGNALED(status)) {
    run.outcome = Outcome::Crashed;
    run.exitStatus = WTERMSIG(status);
    return run;
  }
  run.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  if (run.exitStatus == 127) {
    run.outcome = Outcome::NotStarted;
    return run;
  }
  if (run.exitStatus != 0) {
    run.outcome = Outcome::Refused;
    return run;
  }
  struct stat st {};
  if (::fstat(answer.fd, &st) != 0 || st.st_size < 0 || uint64_t(st.st_size) > limits.maxAnswerBytes) {
    run.outcome = Outcome::Refused;
    return run;
  }
  if (take) {
    run.outcome = take(answer.fd, uint64_t(st.st_size)) ? Outcome::Answered : Outcome::Refused;
    return run;
  }
  run.answer.resize(size_t(st.st_size));
  size_t done = 0;
  while (done < run.answer.size()) {
    const ssize_t got = ::pread(answer.fd, run.answer.data() + done, run.answer.size() - done, off_t(done));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) {
      run.outcome = Outcome::Refused;
      run.answer.clear();
      return run;
    }
    done += size_t(got);
  }
  run.outcome = Outcome::Answered;
  return run;
}

const char* OutcomeName(Outcome outcome) {
  switch (outcome) {
    case Outcome::Answered: return "answered";
    case Outcome::Refused: return "refused";
    case Outcome::Crashed: return "crashed";
    case Outcome::TimedOut: return "timed out";
    case Outcome::NotStarted: return "not started";
  }
  return "?";
}

}  // namespace helper
