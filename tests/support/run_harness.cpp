#include "support/run_harness.h"

#include <dirent.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace korvenal::testing {

namespace {

std::string makeTemporaryDirectory(const char* stem) {
  std::string pattern = std::string("/tmp/") + stem + "XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  chmod(pattern.c_str(), 0777);
  return pattern;
}

std::map<std::string, std::string> regularFilesIn(const std::string& directory) {
  std::map<std::string, std::string> files;
  DIR* dir = opendir(directory.c_str());
  if (dir == nullptr) return files;
  while (dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    const std::string path = directory + "/" + name;
    struct stat info;
    if (lstat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) continue;
    files[name] = readFile(path).value_or("");
  }
  closedir(dir);
  return files;
}

}  // namespace

std::optional<std::string> readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void writeFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

bool runningAsRoot() { return geteuid() == 0; }

bool canDropPrivileges() {
  if (!runningAsRoot()) return false;
  return std::system("setpriv --reuid=nobody --regid=nogroup --clear-groups true >/dev/null 2>&1") == 0;
}

RunResult runTool(const RunSetup& setup) {
  RunResult result;
  result.directory = makeTemporaryDirectory("korvenal-run-");
  const std::string captures = makeTemporaryDirectory("korvenal-io-");
  for (const auto& folder : setup.folders) mkdir((result.directory + "/" + folder).c_str(), 0777);
  for (const auto& [name, bytes] : setup.files) writeFile(result.directory + "/" + name, bytes);
  for (const auto& [name, target] : setup.symlinks) {
    if (symlink(target.c_str(), (result.directory + "/" + name).c_str()) != 0) {
      throw std::runtime_error("symlink failed");
    }
  }
  if (!setup.runAsUser.empty()) {
    std::system(("chown -R " + setup.runAsUser + " " + result.directory).c_str());
  }
  for (const auto& name : setup.readOnly) chmod((result.directory + "/" + name).c_str(), 0444);

  const std::string inputPath = setup.input ? captures + "/in" : "/dev/null";
  if (setup.input) writeFile(inputPath, *setup.input);
  const std::string outPath = captures + "/out";
  const std::string errPath = captures + "/err";

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, inputPath.c_str(), O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
  posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
  posix_spawn_file_actions_addchdir_np(&actions, result.directory.c_str());

  std::vector<std::string> words;
  if (!setup.runAsUser.empty()) {
    words = {"/usr/bin/setpriv", "--reuid=" + setup.runAsUser, "--regid=nogroup", "--clear-groups"};
  }
  words.push_back(KORVENAL_EXE);
  for (const auto& argument : setup.arguments) words.push_back(argument);
  std::vector<char*> argv;
  for (auto& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  std::vector<std::string> environment = setup.environment;
  std::vector<char*> envp;
  for (auto& entry : environment) envp.push_back(entry.data());
  envp.push_back(nullptr);

  pid_t child = 0;
  if (posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0) {
    throw std::runtime_error("posix_spawn failed");
  }
  posix_spawn_file_actions_destroy(&actions);
  int wstatus = 0;
  waitpid(child, &wstatus, 0);
  result.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : 128 + WTERMSIG(wstatus);
  result.out = readFile(outPath).value_or("");
  result.err = readFile(errPath).value_or("");
  result.files = regularFilesIn(result.directory);
  std::system(("rm -rf '" + captures + "' '" + result.directory + "'").c_str());
  return result;
}

}  // namespace korvenal::testing
