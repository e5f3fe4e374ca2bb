#include "support/pty_harness.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <cstdlib>
#include <stdexcept>

#include "support/run_harness.h"

namespace korvenal::testing {

TerminalRun runOnTerminal(const std::map<std::string, std::string>& files, const std::string& typed) {
  std::string directory = "/tmp/korvenal-pty-XXXXXX";
  if (mkdtemp(directory.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  for (const auto& [name, bytes] : files) writeFile(directory + "/" + name, bytes);

  struct termios mode;
  std::memset(&mode, 0, sizeof mode);
  mode.c_iflag = 0;
  mode.c_oflag = 0;                 // bytes out exactly as written
  mode.c_lflag = ICANON;            // typed lines, no echo
  mode.c_cflag = CS8 | CREAD;
  mode.c_cc[VEOF] = 4;
  mode.c_cc[VMIN] = 1;
  cfsetispeed(&mode, B38400);
  cfsetospeed(&mode, B38400);

  int master = -1;
  const pid_t child = forkpty(&master, nullptr, &mode, nullptr);
  if (child < 0) throw std::runtime_error("forkpty failed");
  if (child == 0) {
    if (chdir(directory.c_str()) != 0) _exit(127);
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, 2);
    execl(KORVENAL_EXE, KORVENAL_EXE, static_cast<char*>(nullptr));
    _exit(127);
  }

  if (!typed.empty()) {
    const ssize_t written = write(master, typed.data(), typed.size());
    (void)written;
  }
  TerminalRun run;
  char block[4096];
  for (;;) {
    struct pollfd wait = {master, POLLIN, 0};
    if (poll(&wait, 1, 20000) <= 0) break;  // a hung run ends the collection
    const ssize_t got = read(master, block, sizeof block);
    if (got <= 0) break;  // EIO once the child has closed the terminal
    run.screen.append(block, static_cast<std::size_t>(got));
  }
  int wstatus = 0;
  if (waitpid(child, &wstatus, WNOHANG) == 0) {
    kill(child, SIGKILL);
    waitpid(child, &wstatus, 0);
  }
  run.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : 128 + WTERMSIG(wstatus);
  close(master);

  if (DIR* dir = opendir(directory.c_str())) {
    while (dirent* entry = readdir(dir)) {
      const std::string path = directory + "/" + entry->d_name;
      struct stat info;
      if (lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
        run.files[entry->d_name] = readFile(path).value_or("");
      }
    }
    closedir(dir);
  }
  std::system(("rm -rf '" + directory + "'").c_str());
  return run;
}

}  // namespace korvenal::testing
