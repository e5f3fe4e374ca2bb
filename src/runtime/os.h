// The operating-system seam: every call the tool makes to the system goes
// through the `Os` interface below. The POSIX implementation lives in
// os_posix.cpp; a Windows one can sit beside it. No other file includes an
// operating-system header. Tests replace the active `Os` to make a write come
// back short, an open be denied or a spawn fail.
#pragma once

#include <cstdint>

namespace korvenal::os {

using Handle = std::int64_t;
inline constexpr Handle InvalidHandle = -1;

// Why a call failed, in the system-neutral terms the connection rules use.
enum class Status {
  Ok,
  NotFound,          // the file or a folder of its path does not exist
  AccessDenied,      // not permitted: protection, a folder, a lock
  Exists,            // exclusive creation found a file of that name
  TooManyOpenFiles,  // no handle available
  NoSpace,           // the device is full
  InvalidArgument,   // rejected for another reason (bad name, bad handle)
  Other,             // anything else
};

enum class AccessRequest { ReadWrite, ReadOnly, WriteOnly };

// A block read or write: how many bytes moved, and why it stopped short.
struct Transfer {
  std::int64_t count = 0;
  Status status = Status::Ok;
};

struct Opened {
  Handle handle = InvalidHandle;
  Status status = Status::Ok;
};

// The identity of an open file: the same file whatever name reached it.
struct FileIdentity {
  std::uint64_t volume = 0;
  std::uint64_t index = 0;
  friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

enum class StandardStream { Input = 0, Output = 1, Error = 2 };

// Outcome of starting a program and waiting for it.
enum class SpawnStatus { Finished, NotFound, AccessDenied, Failed };

class Os {
 public:
  virtual ~Os() = default;

  // Files by name.
  virtual bool exists(const char* name) = 0;
  virtual Opened createExclusive(const char* name, AccessRequest access) = 0;
  virtual Opened open(const char* name, AccessRequest access) = 0;
  virtual bool isFolder(Handle handle) = 0;
  virtual bool isRegularFile(Handle handle) = 0;
  virtual bool identity(Handle handle, FileIdentity& into) = 0;
  virtual bool identityOfName(const char* name, FileIdentity& into) = 0;

  // Blocks. A read of 0 bytes with status Ok is the end of the input.
  virtual Transfer read(Handle handle, unsigned char* into, std::int64_t capacity) = 0;
  virtual Transfer write(Handle handle, const unsigned char* from, std::int64_t count) = 0;
  // Cuts the file at its current position.
  virtual Status truncateAtPosition(Handle handle) = 0;
  virtual void close(Handle handle) = 0;

  // The process.
  virtual Handle standardHandle(StandardStream stream) = 0;
  virtual bool isCharacterDevice(Handle handle) = 0;
  virtual int argumentCount() = 0;                  // arguments after the program name
  virtual const char* argument(int index) = 0;      // 0-based, nullptr when out of range
  virtual const char* environment(const char* name) = 0;  // nullptr when unset
  virtual bool isExecutableFile(const char* path) = 0;
  // Starts `program` with `arguments` (argv, nullptr-terminated, argv[0] included)
  // with the process's environment, handles and directory, and waits for it.
  virtual SpawnStatus runAndWait(const char* program, const char* const* arguments) = 0;
  [[noreturn]] virtual void exitProcess(int status) = 0;
};

// The active implementation: the POSIX one unless a test installed another.
Os& system();
// Installs `replacement` (nullptr restores the default); returns the previous one.
Os* replaceSystem(Os* replacement);
// Records the command line for `argument`; called once from main, first.
// It also sets the process up to ignore a broken pipe, so that writing to a
// closed standard output is an ordinary failed write.
void setCommandLine(int argc, char** argv);

}  // namespace korvenal::os
