// The ATM network configuration shared by the network generators: switches
// built of 2x2 self-routing stages, sessions whose cells cross a chain of
// switches, their source laws and their routes through each switch.
#pragma once

#include <cstdio>
#include <vector>

#include "common/law.h"

namespace orv::atm {

// The name every configuration message carries, whichever generator reads.
inline constexpr const char* kTag = "gossamel";

struct CONFIG {
  int NbSwitch = 0;
  std::vector<int> SwitchSize, capaIn, capaOut;
  std::vector<int> Layer;  // log2(size) - 1: the internal stage columns
  int NbSession = 0;
  std::vector<LawPtr> SourceLaw;
  std::vector<int> NbThrough;
  std::vector<std::vector<int>> NumSw;  // [session][crossing] -> switch
  std::vector<int> Nsessions;           // crossings declared per switch
  std::vector<std::vector<int>> NumSe;  // [switch][session] -> local index
  // [session][switch][column] -> row from 1; -1 (0 in the last column)
  // where the session does not pass.
  std::vector<std::vector<std::vector<int>>> route;

  bool crosses(int s, int k) const { return route[s][k][0] > 0; }
  // The port (from 1) of session s at switch k.
  int port(int k, int s) const { return NumSe[k][s] + 1; }
};

// Reads one law in configuration notation; null after a message on msg.
LawPtr Get_Law(FILE* in, int Session_Nb, FILE* msg, bool& bad);

// Reads and routes the configuration. Messages of the reading go to msg;
// errors that make the configuration unusable go to stderr. False after an
// error: the configuration is then not to be written out.
bool Read_Config(FILE* in, CONFIG& cf, FILE* msg);

}  // namespace orv::atm
