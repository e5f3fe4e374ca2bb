#include "driver/run_driver.h"

#include <cassert>
#include <optional>

#include "driver/branch_selector.h"
#include "driver/console_lines.h"
#include "driver/data_file_reader.h"
#include "driver/entropy_table.h"
#include "driver/run_tables.h"
#include "records/value_reader.h"
#include "runtime/failure.h"
#include "runtime/pause.h"
#include "runtime/units.h"

namespace korvenal {

namespace {

constexpr int ControlUnit = 10;
constexpr int DataUnit = 12;
constexpr char ControlFileName[] = "KORVENAL.inp";

// Ends the run when the control file asks for more fields than the table holds.
void refuseTooManyFields(const Unit& control) {
  RunFailure failure;
  failure.number = failure::IntegerOverflow;
  failure.statement = Statement::Read;
  failure.unitName = control.name();
  failure.message = "at most 20 fields are allowed";
  failReport(failure);
}

}  // namespace

RunTables& runTables() {
  static RunTables tables;
  return tables;
}

// The control file's header: mass; field count and sweep sign; the fields.
// Every failure here ends the run.
RunSettings readRunSettings() {
  Unit& control = connectedUnit(ControlUnit);
  RunSettings settings;
  ValueRead read;

  beginRead(read, *control.input, control.name(), ReadHandling::NoHandling);
  readReal(read, settings.mass);
  endRead(read);

  beginRead(read, *control.input, control.name(), ReadHandling::NoHandling);
  readInteger(read, settings.fieldCount);
  readInteger(read, settings.sweepSign);
  endRead(read);
  if (settings.fieldCount > MaxFields) refuseTooManyFields(control);

  // With no fields the read still passes over one line.
  beginRead(read, *control.input, control.name(), ReadHandling::NoHandling);
  for (int f = 0; f < settings.fieldCount; ++f) readReal(read, settings.fields[f]);
  endRead(read);
  return settings;
}

// Entry i's temperature and data file name, or nothing at the end of the list.
// The temperature goes straight into its place in the run table.
std::optional<IsothermEntry> readIsothermEntry(int i) {
  Unit& control = connectedUnit(ControlUnit);
  float& temperature = runTables().temperatures[i - 1];
  ValueRead read;
  beginRead(read, *control.input, control.name(), ReadHandling::EndHandled);
  if (!readReal(read, temperature).isOk()) return std::nullopt;
  if (!endRead(read).isOk()) return std::nullopt;

  IsothermEntry entry;
  entry.nominalTemperature = temperature;
  readTextLine(*control.input, control.name(), entry.dataFileName, FileNameWidth, FileNameWidth,
               ReadHandling::NoHandling);
  return entry;
}

// Shows the entry, connects its data file and waits for the user.
void openEntry(const IsothermEntry& entry) {
  const std::string_view name(entry.dataFileName, FileNameWidth);
  showTexts("Leyendo fichero: ", name);
  showTextReal("Temperatura: ", entry.nominalTemperature);
  connectUnit(DataUnit, entry.dataFileName, FileNameWidth);
  showEmptyLine();
  showText(name);
  showText("=============");
  pausePrompt();
}

int run() {
  RunTables& tables = runTables();

  // The control file; created empty when missing.
  connectUnit(ControlUnit, ControlFileName, 12);
  tables.settings = readRunSettings();

  // Each entry: heading, pause, data file, branch.
  int i = 1;
  for (; i <= MaxIsotherms; ++i) {
    const std::optional<IsothermEntry> entry = readIsothermEntry(i);
    if (!entry) break;
    openEntry(*entry);
    readDataFile(i);
    selectBranch(i);
    orderByField(i);
  }
  releaseUnit(ControlUnit);
  tables.temperatureCount = i - 1;

  // The count, the last pause, the table.
  showTextInteger(" No temperaturas ", tables.temperatureCount);
  pausePrompt();
  writeEntropyTable();
  return 0;
}

}  // namespace korvenal
