#pragma once
#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <map>

// Sets environment variables for the lifetime of the object and restores
// them afterwards.
class TScopedEnv {
 public:
  TScopedEnv() = default;
  TScopedEnv(const TScopedEnv&) = delete;
  TScopedEnv& operator=(const TScopedEnv&) = delete;
  ~TScopedEnv() {
    for (const auto& [name, old] : saved_) {
      if (old.first)
        qputenv(name.c_str(), old.second);
      else
        qunsetenv(name.c_str());
    }
  }
  void Set(const char* name, const QByteArray& value) {
    if (!saved_.count(name)) saved_[name] = {qEnvironmentVariableIsSet(name), qgetenv(name)};
    qputenv(name, value);
  }

 private:
  std::map<std::string, std::pair<bool, QByteArray>> saved_;
};

// A private settings folder, data folder and runtime folder, so that a test
// never touches the user's settings or file types, or finds the user's
// running player.
class TPrivateHome {
 public:
  TPrivateHome() {
    env.Set("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    env.Set("XDG_DATA_HOME", data.path().toLocal8Bit());
    env.Set("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
  }
  QString ConfigDir() const { return config.path() + "/kelvara"; }
  QTemporaryDir config, data, runtime;
  TScopedEnv env;
};
