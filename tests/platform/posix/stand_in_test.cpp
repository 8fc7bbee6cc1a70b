// What only the POSIX stand-ins do: Windows variables mapped to their Linux counterparts,
// and the "C" locale's separators.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <memory>
#include <optional>

#include "platform/clock.h"
#include "platform/environment.h"
#include "platform/service_factories.h"
#include "platform/test_support.h"

namespace {

// Sets the variables a case needs and puts the old values back afterwards.
class EnvironmentScope {
 public:
  void Set(const std::string& name, const std::optional<std::string>& value) {
    if (!saved_.count(name)) {
      const char* old = std::getenv(name.c_str());
      saved_[name] = old ? std::optional<std::string>(old) : std::nullopt;
    }
    if (value)
      test_support::SetProcessVariable(name, *value);
    else
      test_support::UnsetProcessVariable(name);
  }
  ~EnvironmentScope() {
    for (const auto& [name, value] : saved_) {
      if (value)
        test_support::SetProcessVariable(name, *value);
      else
        test_support::UnsetProcessVariable(name);
    }
  }

 private:
  std::map<std::string, std::optional<std::string>> saved_;
};

struct MappingCase {
  std::string label;
  std::map<std::string, std::optional<std::string>> vars;
  std::string asked;
  std::string expected;
};

TEST(PosixEnvironment, WindowsVariablesFallBackToLinuxCounterparts) {
  const std::nullopt_t unset = std::nullopt;
  const std::vector<MappingCase> cases{
      {"TEMP set wins", {{"TEMP", "/t1"}, {"TMPDIR", "/t2"}}, "TEMP", "/t1"},
      {"TEMP from TMPDIR", {{"TEMP", unset}, {"TMPDIR", "/t2"}}, "Temp", "/t2"},
      {"TEMP defaults to /tmp", {{"TEMP", unset}, {"TMPDIR", unset}}, "TEMP", "/tmp"},
      {"empty TMPDIR ignored", {{"TEMP", unset}, {"TMPDIR", ""}}, "TEMP", "/tmp"},
      {"APPDATA from XDG",
       {{"APPDATA", unset}, {"XDG_CONFIG_HOME", "/x/cfg"}},
       "APPDATA",
       "/x/cfg"},
      {"APPDATA under HOME",
       {{"APPDATA", unset}, {"XDG_CONFIG_HOME", unset}, {"HOME", "/home/u"}},
       "AppData",
       "/home/u/.config"},
      {"unmapped stays empty", {{"qEnv_Unmapped", unset}}, "qEnv_Unmapped", ""},
  };
  for (const MappingCase& c : cases) {
    EnvironmentScope scope;
    for (const auto& [name, value] : c.vars) scope.Set(name, value);
    EXPECT_EQ(CreateEnvironment()->GetVariable(c.asked), c.expected) << c.label;
  }
}

TEST(PosixEnvironment, ExactSpellingWinsOverOtherCase) {
  EnvironmentScope scope;
  scope.Set("qEnvCase", "lower");
  scope.Set("QENVCASE", "upper");
  auto env = CreateEnvironment();
  EXPECT_EQ(env->GetVariable("qEnvCase"), "lower");
  EXPECT_EQ(env->GetVariable("QENVCASE"), "upper");
  const std::string other = env->GetVariable("qenvcase");
  EXPECT_TRUE(other == "lower" || other == "upper") << other;
}

TEST(PosixEnvironment, UserDomainIsHostDomainWithoutLeadingDot) {
  EnvironmentScope scope;
  scope.Set("USERDOMAIN", std::nullopt);
  const std::string domain = CreateEnvironment()->GetVariable("USERDOMAIN");
  if (!domain.empty()) {
    EXPECT_NE(domain.front(), '.');
  }
  scope.Set("USERDOMAIN", "CORP");
  EXPECT_EQ(CreateEnvironment()->GetVariable("userdomain"), "CORP");
}

TEST(PosixClock, SeparatorsAreThoseOfTheCLocale) {
  auto clock = CreateClock();
  EXPECT_EQ(clock->TimeSeparator(), ":");
  EXPECT_EQ(clock->DecimalSeparator(), ".");
}

}  // namespace
