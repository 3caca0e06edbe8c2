#pragma once

#include <string_view>

namespace ravlo::testing {

// The application INI the program ships with: the settings entry, the process labels, the main
// form's process window and process collection, and the settings of each process.
//
// The board master process and the communication process address each other at fixed addresses
// ([87,02,2001] from the master, [70,01,2000] from the communication process). They meet because
// the process collection numbers instances in label order (MA 1, COMM 2, ...) and matches
// addresses without their LogA (AT=2), and because the main form's window serves both LogA.
//
// The communication process builds its two channels (COMPORTX, PRTPROTX) from fixed parameter
// texts and reads no channel entry; the port's device comes from RAVLO_COMn or [PORTS] of RTDW.INI.
inline constexpr std::string_view kDefaultAppIni =
    "[SECTIONS]\r\n"
    "RD_SECTION=RAVLO\r\n"
    "WR_SECTION=RAVLO_WR\r\n"
    "\r\n"
    "[RAVLO]\r\n"
    "APP=DM=$0 TXS=1 DXS=0 THR=5 SHR=0\r\n"
    "LABELCOLL=PFX=PL\r\n"
    "PL00=NAM=MA PRS=$70 ADR=[70,00,2001] PCO=MAINPC\r\n"
    "PL01=NAM=COMM PRS=$87 ADR=[87,00,2001] PCO=MAINPC\r\n"
    "PL02=NAM=TMPERR PRS=$73 ADR=[73,00,2001] PCO=MAINPC\r\n"
    "PL03=NAM=DLG PRS=$8F ADR=[8F,00,2001] PCO=MAINPC\r\n"
    "GLBSYSCOLL=PFX=GS\r\n"
    "GS00=TYP=1 TNA=RAVLOMAIN CAP='Ravlo' LOG=$2000 HIL=$20FF PCO=MAINPC USR=$0\r\n"
    "WINCOLL=PFX=WC\r\n"
    "MAINPC=AT=2\r\n"
    "MA=DWN=0 PER=1000 RET=1000 AST=1\r\n"
    "COMM=DWN=0 LRB=12287 TOP=1000 TIC=1000 TID=1000 TCL=1000 RTF=4800 REP=2 NOD=255 DNO=254 EW=20\r\n"
    "TMPERR=DWN=0 EST=5000 ATR=$4\r\n"
    "DLG=DWN=0\r\n"
    "\r\n"
    "[ERRORMESSAGES]\r\n"
    "MsgIfNoUser=1\r\n";

} // namespace ravlo::testing
