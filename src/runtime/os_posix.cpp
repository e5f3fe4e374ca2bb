// The POSIX implementation of the system seam: the only file that talks to
// the operating system directly. Reads and writes interrupted by a signal are
// retried; a close is never retried (the descriptor is gone either way).
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "runtime/os.h"

extern char** environ;

namespace korvenal::os {
namespace {

int commandCount = 0;
char** commandArguments = nullptr;

int descriptor(Handle handle) { return static_cast<int>(handle); }

// errno of a failed open or creation -> the connection rules' cause.
Status openStatus(int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR:
    case ENXIO:   // a device special file with no device behind it
    case ENODEV:
      return Status::NotFound;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
    case ETXTBSY:
    case EAGAIN:  // a mandatory lock
      return Status::AccessDenied;
    case EEXIST:
      return Status::Exists;
    case EMFILE:
    case ENFILE:
      return Status::TooManyOpenFiles;
    case ENOSPC:
    case EDQUOT:
      return Status::NoSpace;
    case ENAMETOOLONG:
    case EINVAL:
    case EILSEQ:
    case ELOOP:
    case EFAULT:
    case EBADF:
      return Status::InvalidArgument;
    default:
      return Status::Other;
  }
}

// errno of a failed write or truncation -> the cause. Writing through a
// descriptor opened for reading only gives EBADF (or EINVAL for a cut): that
// is a refused write, not a bad argument.
Status writeStatus(int error) {
  switch (error) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      return Status::NoSpace;
    case EACCES:
    case EPERM:
    case EBADF:
    case EINVAL:
    case EROFS:
    case ETXTBSY:
    case EAGAIN:
      return Status::AccessDenied;
    default:
      return Status::Other;
  }
}

int openFlags(AccessRequest access) {
  const int common = O_CLOEXEC | O_NOCTTY;
  switch (access) {
    case AccessRequest::ReadWrite: return common | O_RDWR;
    case AccessRequest::ReadOnly: return common | O_RDONLY;
    case AccessRequest::WriteOnly: return common | O_WRONLY;
  }
  return common | O_RDONLY;
}

Opened openWith(const char* name, int flags) {
  const int fd = ::open(name, flags, 0666);
  if (fd < 0) return {InvalidHandle, openStatus(errno)};
  return {fd, Status::Ok};
}

bool statOf(Handle handle, struct stat& into) { return ::fstat(descriptor(handle), &into) == 0; }

class PosixOs final : public Os {
 public:
  bool exists(const char* name) override {
    struct stat info {};
    return ::stat(name, &info) == 0;
  }

  Opened createExclusive(const char* name, AccessRequest access) override {
    return openWith(name, openFlags(access) | O_CREAT | O_EXCL);
  }

  Opened open(const char* name, AccessRequest access) override { return openWith(name, openFlags(access)); }

  bool isFolder(Handle handle) override {
    struct stat info {};
    return statOf(handle, info) && S_ISDIR(info.st_mode);
  }

  bool isRegularFile(Handle handle) override {
    struct stat info {};
    return statOf(handle, info) && S_ISREG(info.st_mode);
  }

  bool identity(Handle handle, FileIdentity& into) override {
    struct stat info {};
    if (!statOf(handle, info)) return false;
    into = {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
    return true;
  }

  bool identityOfName(const char* name, FileIdentity& into) override {
    struct stat info {};
    if (::stat(name, &info) != 0) return false;
    into = {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
    return true;
  }

  Transfer read(Handle handle, unsigned char* into, std::int64_t capacity) override {
    for (;;) {
      const ssize_t got = ::read(descriptor(handle), into, static_cast<std::size_t>(capacity));
      if (got >= 0) return {got, Status::Ok};
      if (errno != EINTR) return {0, Status::Other};
    }
  }

  // Writes everything or stops at the first refusal; a partial transfer is
  // continued, so a short count always comes with the reason.
  Transfer write(Handle handle, const unsigned char* from, std::int64_t count) override {
    std::int64_t done = 0;
    while (done < count) {
      const ssize_t put = ::write(descriptor(handle), from + done, static_cast<std::size_t>(count - done));
      if (put > 0) {
        done += put;
      } else if (put == 0) {
        return {done, Status::Other};
      } else if (errno != EINTR) {
        return {done, writeStatus(errno)};
      }
    }
    return {done, Status::Ok};
  }

  Status truncateAtPosition(Handle handle) override {
    const off_t position = ::lseek(descriptor(handle), 0, SEEK_CUR);
    if (position < 0) return writeStatus(errno);
    if (::ftruncate(descriptor(handle), position) != 0) return writeStatus(errno);
    return Status::Ok;
  }

  void close(Handle handle) override { ::close(descriptor(handle)); }

  Handle standardHandle(StandardStream stream) override { return static_cast<Handle>(stream); }

  bool isCharacterDevice(Handle handle) override {
    struct stat info {};
    return statOf(handle, info) && S_ISCHR(info.st_mode);
  }

  int argumentCount() override { return commandCount > 1 ? commandCount - 1 : 0; }

  const char* argument(int index) override {
    if (index < 0 || index >= argumentCount()) return nullptr;
    return commandArguments[index + 1];
  }

  const char* environment(const char* name) override { return std::getenv(name); }

  bool isExecutableFile(const char* path) override {
    struct stat info {};
    return ::stat(path, &info) == 0 && S_ISREG(info.st_mode) && ::access(path, X_OK) == 0;
  }

  SpawnStatus runAndWait(const char* program, const char* const* arguments) override {
    // The child gets the default action for a broken pipe back.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
    pid_t child = 0;
    const int error =
        posix_spawn(&child, program, nullptr, &attributes, const_cast<char* const*>(arguments), environ);
    posix_spawnattr_destroy(&attributes);
    if (error == ENOENT || error == ENOTDIR) return SpawnStatus::NotFound;
    if (error == EACCES || error == EPERM || error == ENOEXEC) return SpawnStatus::AccessDenied;
    if (error != 0) return SpawnStatus::Failed;
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return SpawnStatus::Finished;
  }

  [[noreturn]] void exitProcess(int status) override { ::_exit(status); }
};

PosixOs posixOs;
Os* active = &posixOs;

}  // namespace

Os& system() { return *active; }

Os* replaceSystem(Os* replacement) {
  Os* previous = active;
  active = replacement != nullptr ? replacement : &posixOs;
  return previous;
}

// Besides the arguments, start-up ignores the broken-pipe signal, so that a
// closed standard output is an ordinary failed console write.
void setCommandLine(int argc, char** argv) {
  commandCount = argc;
  commandArguments = argv;
  ::signal(SIGPIPE, SIG_IGN);
}

}  // namespace korvenal::os
