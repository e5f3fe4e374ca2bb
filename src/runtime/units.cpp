// The unit table: connecting numbered units to files and devices by name,
// the first-write cut, writing a unit's blocks, and releasing units.
#include "runtime/units.h"

#include <array>
#include <cassert>
#include <limits>

#include "records/console_writer.h"
#include "runtime/console.h"
#include "runtime/failure.h"

namespace korvenal {
namespace {

std::array<Unit, UnitSlots> slots;
int nextArgument = 0;  // command-line arguments used for blank names so far
bool allReleased = false;

struct ReservedName {
  std::string_view name;
  DeviceName device;
  const char* path;
};

// Printers and serial ports are reached through the system's device files:
// PRN and LPT1 share the first printer port, COM1, AUX and LINE the first
// serial port.
constexpr std::array<ReservedName, 15> ReservedNames{{
    {"CON", DeviceName::Console, nullptr},
    {"USER", DeviceName::Console, nullptr},
    {"ERR", DeviceName::StandardError, nullptr},
    {"NUL", DeviceName::Null, "/dev/null"},
    {"PRN", DeviceName::System, "/dev/lp0"},
    {"LPT1", DeviceName::System, "/dev/lp0"},
    {"LPT2", DeviceName::System, "/dev/lp1"},
    {"LPT3", DeviceName::System, "/dev/lp2"},
    {"LPT4", DeviceName::System, "/dev/lp3"},
    {"COM1", DeviceName::System, "/dev/ttyS0"},
    {"AUX", DeviceName::System, "/dev/ttyS0"},
    {"LINE", DeviceName::System, "/dev/ttyS0"},
    {"COM2", DeviceName::System, "/dev/ttyS1"},
    {"COM3", DeviceName::System, "/dev/ttyS2"},
    {"COM4", DeviceName::System, "/dev/ttyS3"},
}};

char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool sameLetters(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (upper(a[i]) != upper(b[i])) return false;
  }
  return true;
}

// Connection causes -> failure numbers.
int openFailure(os::Status status) {
  switch (status) {
    case os::Status::NotFound: return failure::FileNotFound;
    case os::Status::AccessDenied: return failure::AccessDenied;
    case os::Status::Exists: return failure::FileExists;
    case os::Status::TooManyOpenFiles: return failure::TooManyOpenFiles;
    case os::Status::InvalidArgument: return failure::InvalidArgument;
    default: return failure::OpenFailed;
  }
}

// Write causes -> failure numbers: every failed or short write of a file is reported.
int writeFailure(os::Status status) {
  switch (status) {
    case os::Status::NoSpace: return failure::DiskFull;
    case os::Status::AccessDenied: return failure::WriteRefused;
    default: return failure::WriteFailed;
  }
}

Unit* findConnected(int number) {
  for (Unit& unit : slots) {
    if (unit.connected && unit.number == number) return &unit;
  }
  return nullptr;
}

Unit* firstFreeSlot() {
  for (Unit& unit : slots) {
    if (!unit.connected) return &unit;
  }
  return nullptr;
}

// The same device: the console by either name, standard error, or the same system device.
bool sameDevice(const Unit& unit, const DeviceMatch& device) {
  if (unit.kind != UnitKind::Device || unit.device != device.device) return false;
  if (device.device == DeviceName::Null || device.device == DeviceName::System) {
    return std::string_view(unit.devicePath) == device.path;
  }
  return true;
}

bool sameFile(const Unit& unit, const os::FileIdentity& identity) {
  os::FileIdentity held;
  return unit.kind == UnitKind::File && os::system().identity(unit.handle, held) && held == identity;
}

struct Granted {
  os::Opened opened;
  Access access = Access::ReadWrite;
};

// Read-write, then read-only, then write-only; the cause of the last refusal
// stands when all three are refused.
Granted openWithFallBack(const char* name, bool create) {
  constexpr std::array<std::pair<os::AccessRequest, Access>, 3> Requests{{
      {os::AccessRequest::ReadWrite, Access::ReadWrite},
      {os::AccessRequest::ReadOnly, Access::ReadOnly},
      {os::AccessRequest::WriteOnly, Access::WriteOnly},
  }};
  os::Os& system = os::system();
  Granted granted;
  for (const auto& [request, access] : Requests) {
    granted.opened = create ? system.createExclusive(name, request) : system.open(name, request);
    granted.access = access;
    if (granted.opened.status == os::Status::Ok) break;
  }
  return granted;
}

// Writes "UNIT " and `number` in decimal after the prompt's first line.
void writeNamePrompt(int number) {
  char text[96] = "File name missing or blank - please enter file name\r\nUNIT ";
  std::int32_t length = 0;
  while (text[length] != '\0') ++length;
  if (number < 0) text[length++] = '-';
  char digits[12];
  std::int32_t count = 0;
  long magnitude = number < 0 ? -static_cast<long>(number) : number;
  do {
    digits[count++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  while (count > 0) text[length++] = digits[--count];
  text[length++] = '?';
  text[length++] = ' ';
  writePrompt({text, static_cast<std::size_t>(length)});
}

// A name for a blank name field: the next command-line argument, then the
// console prompt until a name is given. -1 when the end of the console input
// was reported while the run was already ending.
std::int32_t obtainName(int number, char* into) {
  os::Os& system = os::system();
  if (nextArgument < system.argumentCount()) {
    const char* argument = system.argument(nextArgument++);
    const std::int32_t length =
        argument != nullptr ? prepareName(argument, std::numeric_limits<std::int32_t>::max(), into) : 0;
    if (length > 0) return length;
  } else {
    endPendingLine(console());
  }
  constexpr std::int32_t ReplyCapacity = 260;
  char reply[ReplyCapacity];
  for (;;) {
    writeNamePrompt(number);
    const std::int32_t count = readConsoleReply(reply, ReplyCapacity, Statement::Open, {}, true);
    if (count < 0) return -1;
    const std::int32_t length = prepareName(reply, count, into);
    if (length > 0) return length;
  }
}

// Writes out the buffered text, closes the handle and frees the slot. False
// when a failure was reported while the run was already ending.
bool releaseSlot(Unit& unit) {
  unit.releasing = true;
  if (unit.endAtWritePosition && !unit.writeFailed && !close(unit.output)) return false;
  if (unit.device != DeviceName::Console && unit.device != DeviceName::StandardError) {
    os::system().close(unit.handle);
  }
  unit.connected = false;
  unit.releasing = false;
  unit.handle = os::InvalidHandle;
  return true;
}

// The failed text is given up, so the end-of-run release closes the unit
// without writing it again (and without a second report).
bool reportWrite(Unit& unit, os::Status status) {
  unit.writeFailed = true;
  failUnhandled(writeFailure(status), unit.releasing ? Statement::Close : Statement::Write, unit.name());
  return false;
}

// Opens the handle of a connection: standard handles for the console and
// standard error, the device file for the others, the named file (created
// empty when missing) for a file.
struct Connection {
  os::Handle handle = os::InvalidHandle;
  Access access = Access::ReadWrite;
  bool created = false;
  int failureNumber = 0;
};

Connection openConnection(const char* name, const DeviceMatch& device) {
  os::Os& system = os::system();
  switch (device.device) {
    case DeviceName::Console:
      return {system.standardHandle(os::StandardStream::Output), Access::ReadWrite, false, 0};
    case DeviceName::StandardError:
      return {system.standardHandle(os::StandardStream::Error), Access::ReadWrite, false, 0};
    case DeviceName::Null:
    case DeviceName::System: {
      const Granted granted = openWithFallBack(device.path, false);
      if (granted.opened.status != os::Status::Ok) return {os::InvalidHandle, {}, false, openFailure(granted.opened.status)};
      return {granted.opened.handle, granted.access, false, 0};
    }
    case DeviceName::None:
      break;
  }
  const bool create = !system.exists(name);
  const Granted granted = openWithFallBack(name, create);
  if (granted.opened.status != os::Status::Ok) return {os::InvalidHandle, {}, false, openFailure(granted.opened.status)};
  // A folder opens for reading on this system; it is refused like elsewhere.
  if (system.isFolder(granted.opened.handle)) {
    system.close(granted.opened.handle);
    return {os::InvalidHandle, {}, false, failure::AccessDenied};
  }
  return {granted.opened.handle, granted.access, create, 0};
}

void fillUnit(Unit& unit, int number, std::string_view name, const DeviceMatch& device,
              const Connection& connection) {
  unit = Unit{};
  unit.connected = true;
  unit.number = number;
  for (char c : name) unit.fileName[unit.fileNameLength++] = c;
  unit.handle = connection.handle;
  unit.kind = device.device == DeviceName::None ? UnitKind::File : UnitKind::Device;
  unit.device = device.device;
  unit.devicePath = device.path != nullptr ? device.path : "";
  unit.access = connection.access;
  // A device has nothing to cut; its text goes out at release like a created file's.
  unit.endAtWritePosition = connection.created || unit.kind == UnitKind::Device;
  unit.io.unit = &unit;
  attachTableWriter(unit.output, &unit.io);
  if (device.device == DeviceName::Console) {
    unit.input = &consoleInput();
    return;
  }
  DeviceMode mode;
  if (unit.kind == UnitKind::Device) {
    mode.isDevice = true;
    mode.interactiveInput = inputIsInteractive();
    mode.interactiveBoth = inputIsInteractive() && outputIsInteractive();
  }
  attachLineSource(unit.ownInput, &unit.io, mode);
  unit.input = &unit.ownInput;
}

}  // namespace

std::int32_t prepareName(const char* field, std::int32_t length, char* into) {
  std::int32_t end = 0;
  while (end < length && end < MaxNameLength && field[end] != '\0') ++end;
  std::int32_t begin = 0;
  while (begin < end && field[begin] == ' ') ++begin;
  while (end > begin && field[end - 1] == ' ') --end;
  for (std::int32_t i = begin; i < end; ++i) into[i - begin] = field[i];
  return end - begin;
}

// "CON.TXT" -> Console, name "CON"; "COM2.LOG" -> the second serial port;
// "ERR.DAT" -> a file (a name beginning with E, L or U that has an extension
// stays a file); "ERR" -> standard error; "nul" -> Null.
DeviceMatch reservedDevice(std::string_view name) {
  const std::size_t dot = name.rfind('.');
  const std::string_view base = dot == std::string_view::npos ? name : name.substr(0, dot);
  if (base.size() != 3 && base.size() != 4) return {};
  // ERR, LINE and USER with an extension are ordinary files.
  if (dot != std::string_view::npos && dot + 1 < name.size()) {
    const char first = upper(name[0]);
    if (first == 'E' || first == 'L' || first == 'U') return {};
  }
  for (const ReservedName& reserved : ReservedNames) {
    if (sameLetters(base, reserved.name)) {
      return {reserved.device, reserved.path, static_cast<std::int32_t>(base.size())};
    }
  }
  return {};
}

BlockRead UnitIo::readBlock(unsigned char* into, std::int32_t capacity) {
  const os::Transfer got = os::system().read(unit->handle, into, capacity);
  if (got.status != os::Status::Ok) return {0, true};
  return {static_cast<std::int32_t>(got.count), false};
}

// The first write statement on a file opened (not created) by its connection
// cuts the file at the write position, so an older, longer table leaves no
// tail behind. Only a regular file is cut: a device or a pipe has no end.
bool UnitIo::beginStatement() {
  Unit& self = *unit;
  self.written = true;
  if (self.kind == UnitKind::File && !self.endAtWritePosition) {
    os::Os& system = os::system();
    if (system.isRegularFile(self.handle)) {
      const os::Status cut =
          self.access == Access::ReadOnly ? os::Status::AccessDenied : system.truncateAtPosition(self.handle);
      if (cut != os::Status::Ok) return reportWrite(self, cut);
    }
    self.endAtWritePosition = true;
  }
  return true;
}

// A file's failed or short write always ends the run; a device (other than a
// full or refusing one) takes a short write silently, like the console.
bool UnitIo::writeBytes(const unsigned char* bytes, std::int32_t count) {
  const os::Transfer put = os::system().write(unit->handle, bytes, count);
  if (put.status == os::Status::Ok && put.count == count) return true;
  if (unit->kind == UnitKind::Device && put.status != os::Status::NoSpace && put.status != os::Status::AccessDenied) {
    return true;
  }
  return reportWrite(*unit, put.status == os::Status::Ok ? os::Status::Other : put.status);
}

void UnitIo::writeIgnoringFailure(const unsigned char* bytes, std::int32_t count) {
  os::system().write(unit->handle, bytes, count);
}

void connectUnit(int number, const char* name, std::int32_t nameLength) {
  static char prepared[MaxNameLength + 1];
  std::int32_t length = prepareName(name, nameLength, prepared);
  if (length == 0) length = obtainName(number, prepared);
  if (length < 0) return;
  prepared[length] = '\0';

  const DeviceMatch device = reservedDevice({prepared, static_cast<std::size_t>(length)});
  if (device.device != DeviceName::None) {
    length = device.nameLength;
    prepared[length] = '\0';
  }
  const std::string_view preparedName(prepared, static_cast<std::size_t>(length));
  if (number < -32767 || number > 32767) return failUnhandled(failure::InvalidArgument, Statement::Open, preparedName);

  // The file may already be connected: to another unit it is refused, to
  // this one the connection stays as it is.
  os::FileIdentity identity;
  const bool known = device.device == DeviceName::None && os::system().exists(prepared) &&
                     os::system().identityOfName(prepared, identity);
  Unit* self = findConnected(number);
  for (Unit& unit : slots) {
    if (!unit.connected || &unit == self) continue;
    const bool conflict = device.device != DeviceName::None
                              ? device.device != DeviceName::Null && sameDevice(unit, device)
                              : known && sameFile(unit, identity);
    if (conflict) return failUnhandled(failure::ConnectedElsewhere, Statement::Open, preparedName);
  }
  if (self != nullptr) {
    const bool same = device.device != DeviceName::None ? sameDevice(*self, device) : known && sameFile(*self, identity);
    if (same) return;
    if (!releaseSlot(*self)) return;
  }

  Unit* slot = firstFreeSlot();
  if (slot == nullptr) return failUnhandled(failure::TooManyOpenFiles, Statement::Open, preparedName);
  const Connection connection = openConnection(prepared, device);
  if (connection.failureNumber != 0) return failUnhandled(connection.failureNumber, Statement::Open, preparedName);
  fillUnit(*slot, number, preparedName, device, connection);
}

bool releaseUnit(int number) {
  Unit* unit = findConnected(number);
  return unit == nullptr || releaseSlot(*unit);
}

// A failure reported here does not end the process again; the release stops
// at that unit and the console's last line end is not written.
void releaseAllUnits() {
  if (allReleased) return;
  allReleased = true;
  for (Unit& unit : slots) {
    if (unit.connected && !releaseSlot(unit)) return;
  }
  endOfRun(console());
}

Unit& connectedUnit(int number) {
  Unit* unit = findConnected(number);
  assert(unit != nullptr && "the unit must be connected");
  return *unit;
}

}  // namespace korvenal
