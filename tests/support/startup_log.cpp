#include "support/startup_log.h"

std::vector<std::string> StartupLogMessages(const std::string& installDir,
                                            const std::string& exeVersion) {
  const std::string stars(85, '*');
  return {stars,
          "MSG : Application started",
          stars,
          "MSG : Exe Version :: " + exeVersion,
          "MSG : QARN installation path : " + installDir,
          "MSG : Reading MEMBERID",
          "MSG : ReadString, HKLM\\SOFTWARE\\DORAZA[Memberid]",
          "MSG : MEMBERID : 42",
          "MSG : Reading SITEID",
          "MSG : ReadString, HKLM\\SOFTWARE\\DORAZA[SITEID]",
          "MSG : SITEID : 7",
          "MSG : Reading REGID",
          "MSG : ReadString, HKLM\\SOFTWARE\\DORAZA[RegID]",
          "MSG : REGID : 1234",
          "MSG : Reading AGENTYPE",
          "MSG : ReadString, HKLM\\SOFTWARE\\DORAZA[TYPE]",
          "MSG : AGENTTYPE : SERVER"};
}
