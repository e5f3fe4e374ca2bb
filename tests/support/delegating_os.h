// A system seam that forwards every call to another one (the real system
// by default); a fake derives from it and overrides only what it changes.
#pragma once

#include <cstdint>
#include <cstdlib>

#include "runtime/os.h"

namespace korvenal {

// Forwards every call to the real system; tests override what they fake.
class DelegatingOs : public os::Os {
 public:
  DelegatingOs() : real(os::system()) {}
  explicit DelegatingOs(os::Os& forwardTo) : real(forwardTo) {}
  bool exists(const char* name) override { return real.exists(name); }
  os::Opened createExclusive(const char* name, os::AccessRequest access) override {
    return real.createExclusive(name, access);
  }
  os::Opened open(const char* name, os::AccessRequest access) override { return real.open(name, access); }
  bool isFolder(os::Handle handle) override { return real.isFolder(handle); }
  bool isRegularFile(os::Handle handle) override { return real.isRegularFile(handle); }
  bool identity(os::Handle handle, os::FileIdentity& into) override { return real.identity(handle, into); }
  bool identityOfName(const char* name, os::FileIdentity& into) override { return real.identityOfName(name, into); }
  os::Transfer read(os::Handle handle, unsigned char* into, std::int64_t capacity) override {
    return real.read(handle, into, capacity);
  }
  os::Transfer write(os::Handle handle, const unsigned char* from, std::int64_t count) override {
    return real.write(handle, from, count);
  }
  os::Status truncateAtPosition(os::Handle handle) override { return real.truncateAtPosition(handle); }
  void close(os::Handle handle) override { real.close(handle); }
  os::Handle standardHandle(os::StandardStream stream) override { return real.standardHandle(stream); }
  bool isCharacterDevice(os::Handle handle) override { return real.isCharacterDevice(handle); }
  int argumentCount() override { return real.argumentCount(); }
  const char* argument(int index) override { return real.argument(index); }
  const char* environment(const char* name) override { return real.environment(name); }
  bool isExecutableFile(const char* path) override { return real.isExecutableFile(path); }
  os::SpawnStatus runAndWait(const char* program, const char* const* arguments) override {
    return real.runAndWait(program, arguments);
  }
  [[noreturn]] void exitProcess(int status) override {
    real.exitProcess(status);
    std::abort();  // the real exit does not return
  }

 protected:
  os::Os& real;
};

}  // namespace korvenal
