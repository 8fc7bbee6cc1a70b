// The resolver reaches every delegating entry, handing on the name as written.
#include <gtest/gtest.h>

#include "expand/catalogue.h"
#include "expand/resolver.h"
#include "fakes/fake_platform.h"

namespace {

TEST(CatalogueWiring, EveryNameHasItsEntry) {
  EXPECT_EQ(Catalogue().size(), 43u);
  for (const CatalogueEntry& e : Catalogue()) EXPECT_NE(e.entry, nullptr) << e.name;
}

TEST(CatalogueWiring, ProcedureReceivesTheNameAsWritten) {
  FakeRun run;
  std::string value, errorText;
  EXPECT_TRUE(fncExpandEvnVariable(run.ctx, " Computername ", value, errorText));
  EXPECT_EQ(value, "WS-0042");
  EXPECT_EQ(errorText, "");
  EXPECT_EQ(run.LogMessages(),
            (std::vector<std::string>{"MSG : In fncExpandEvnVariable  Computername ",
                                      "MSG : Expanding the env variable  Computername ",
                                      "MSG : Expanded Value :: WS-0042"}));
}

TEST(CatalogueWiring, FailingDelegateLeavesItsOwnErrorText) {
  FakeRun run;
  run.fake.system.version.platformId = 1;
  std::string value, errorText;
  EXPECT_FALSE(fncExpandEvnVariable(run.ctx, "nttype", value, errorText));
  EXPECT_EQ(errorText, "OS is not supported");
  EXPECT_EQ(run.LogMessages().back(), "MSG : Expanded Value :: ");
}

}  // namespace
