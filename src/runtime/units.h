// Numbered units connected to files and devices by name, the console
// connection, and the end-of-run release.
#pragma once

#include <cstdint>
#include <string_view>

#include "records/line_source.h"
#include "records/table_writer.h"
#include "runtime/os.h"

namespace korvenal {

inline constexpr int UnitSlots = 61;
inline constexpr int MaxNameLength = 259;

enum class UnitKind { File, Device };
enum class Access { ReadWrite, ReadOnly, WriteOnly };

// Which device a reserved name reached.
enum class DeviceName { None, Console, StandardError, Null, System };

// A connection's own block source and sink over its handle.
class UnitIo final : public BlockSource, public ByteSink {
 public:
  struct Unit* unit = nullptr;
  BlockRead readBlock(unsigned char* into, std::int32_t capacity) override;
  bool beginStatement() override;
  bool writeBytes(const unsigned char* bytes, std::int32_t count) override;
  void writeIgnoringFailure(const unsigned char* bytes, std::int32_t count) override;
};

struct Unit {
  bool connected = false;
  int number = 0;
  char fileName[MaxNameLength + 1] = {};
  std::int32_t fileNameLength = 0;
  os::Handle handle = os::InvalidHandle;
  UnitKind kind = UnitKind::File;
  DeviceName device = DeviceName::None;
  const char* devicePath = "";  // the device file of a Null or System device
  Access access = Access::ReadWrite;
  bool endAtWritePosition = false;
  bool written = false;        // a write statement has begun on this unit
  bool releasing = false;      // the unit is being released: failures are CLOSE failures
  bool writeFailed = false;    // a failed write was reported: its text is lost, never written again
  LineSource* input = nullptr;  // own line source, or the console's
  LineSource ownInput;
  TableWriter output;
  UnitIo io;

  std::string_view name() const { return {fileName, static_cast<std::size_t>(fileNameLength)}; }
};

// Name preparation: the field's characters up to `length`, at most
// MaxNameLength of them and up to a NUL, without leading and trailing spaces
// (only the space character; a tab stays). Writes them to `into` (room for
// MaxNameLength characters) and returns how many.
std::int32_t prepareName(const char* field, std::int32_t length, char* into);

// What a name reaches when its base part (before the last ".") is a reserved
// device name. `nameLength` is the name's length without its extension.
struct DeviceMatch {
  DeviceName device = DeviceName::None;
  const char* path = nullptr;  // the system device opened by name (Null, System)
  std::int32_t nameLength = 0;
};
DeviceMatch reservedDevice(std::string_view name);

// Connects unit `number` to the file named by the blank-padded `name` field.
// A failure ends the run with the OPEN report.
void connectUnit(int number, const char* name, std::int32_t nameLength);
// Writes out buffered text, closes the file and frees the slot. Nothing when
// the unit is not connected. False when a failure was reported while the run
// was already ending.
bool releaseUnit(int number);
// The end-of-run release, once: every slot in order, then the console's last
// line end.
void releaseAllUnits();
// The connected unit `number`; requires it to be connected.
Unit& connectedUnit(int number);

}  // namespace korvenal
