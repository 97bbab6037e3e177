#include "platform/spawn_posix.h"

#include <signal.h>
#include <spawn.h>

#include <cerrno>

extern char** environ;

namespace platform {

namespace {

std::vector<char*> Pointers(std::vector<std::string>& strings) {
  std::vector<char*> out;
  for (std::string& s : strings) out.push_back(s.data());
  out.push_back(nullptr);
  return out;
}

void AddStreams(const std::vector<SpawnStream>& streams, posix_spawn_file_actions_t* actions) {
  for (const SpawnStream& s : streams) {
    if (s.from >= 0)
      posix_spawn_file_actions_adddup2(actions, s.from, s.fd);
    else
      posix_spawn_file_actions_addopen(actions, s.fd, s.path.c_str(), s.flags, s.mode);
  }
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 34))
  // Descriptors left inheritable (a listening socket, a lock file) must not
  // live on in the child, which may outlive us.
  posix_spawn_file_actions_addclosefrom_np(actions, 3);
#endif
}

// Exec keeps an ignored signal ignored and a blocked one blocked: the child
// must not inherit our stop signals' handling.
void CleanSignals(bool own_group, posix_spawnattr_t* attributes) {
  sigset_t none, defaults;
  sigemptyset(&none);
  sigemptyset(&defaults);
  for (int s : {SIGPIPE, SIGTERM, SIGINT, SIGHUP, SIGQUIT, SIGCHLD}) sigaddset(&defaults, s);
  posix_spawnattr_setsigmask(attributes, &none);
  posix_spawnattr_setsigdefault(attributes, &defaults);
  int flags = POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF;
  if (own_group) {
    posix_spawnattr_setpgroup(attributes, 0);
    flags |= POSIX_SPAWN_SETPGROUP;
  }
  posix_spawnattr_setflags(attributes, static_cast<short>(flags));
}

}  // namespace

int Spawn(const SpawnSetup& setup, pid_t* pid) {
  if (setup.argv.empty()) return EINVAL;
  std::vector<std::string> words = setup.argv;
  std::vector<std::string> variables = setup.environment.value_or(std::vector<std::string>{});
  std::vector<char*> argv = Pointers(words), envp = Pointers(variables);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  AddStreams(setup.streams, &actions);
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  CleanSignals(setup.own_group, &attributes);
  int error = ::posix_spawnp(pid, argv[0], &actions, &attributes, argv.data(),
                             setup.environment ? envp.data() : environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  return error;
}

}  // namespace platform
