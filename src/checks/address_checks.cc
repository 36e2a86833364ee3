#include "checks/address_checks.h"

#include "checks/field_layout.h"
#include "core/check_context.h"

namespace lintaro {

const std::string_view kStateList =
    "  ,MD,VA,DC,AL,AK,AZ,AR,CA,CO,CT,DE,FL,GA,HI,ID,IL,IN,IA,KS,KY,LA,ME,MA,MI,MN,MS,MO,MT,NE,NV,"
    "NH,NJ,NM,NY,NC,ND,OH,OK,OR,PA,RI,SC,SD,TN,TX,UT,VT,WA,WV,WI,WY,AS,GU,PR,VI,MP,AE,AA,AP,AC";

const std::string_view kCountryList =
    "AA,AC,AE,AF,AG,AJ,AL,AM,AN,AO,AR,AS,AT,AU,AV,AY,BA,BB,BC,BD,BE,BF,BG,BH,BK,BL,BM,BN,BO,BP,"
    "BQ,BR,BS,BT,BU,BV,BX,BY,CA,CB,CD,CE,CF,CG,CH,CI,CJ,CK,CM,CN,CO,CR,CS,CT,CU,CV,CW,CY,DA,DJ,"
    "DO,DQ,DR,EC,EG,EI,EK,EN,ER,ES,ET,EU,EZ,FG,FI,FJ,FK,FM,FO,FP,FQ,FR,FS,GA,GB,GG,GH,GI,GJ,GK,"
    "GL,GM,GO,GP,GR,GT,GV,GY,GZ,HA,HK,HM,HO,HQ,HR,HU,IC,ID,IM,IN,IO,IP,IR,IS,IT,IV,IZ,JA,JE,JM,"
    "JN,JO,JQ,JU,KE,KG,KN,KR,KQ,KS,KT,KU,KZ,LA,LE,LG,LH,LI,LO,LQ,LS,LT,LU,LY,MA,MB,MC,MD,MF,MG,"
    "MH,MI,MJ,MK,ML,MN,MO,MP,MQ,MR,MT,MU,MV,MX,MY,MZ,NC,NE,NF,NG,NH,NI,NL,NM,NO,NP,NR,NS,NT,NU,"
    "NZ,OC,PA,PC,PE,PF,PG,PK,PL,PM,PO,PP,PS,PU,QA,RB,RE,RM,RO,RP,RS,RW,SA,SB,SC,SE,SF,SG,SH,SI,"
    "SL,SM,SN,SO,SP,ST,SU,SV,SW,SX,SY,SZ,TD,TE,TH,TI,TK,TL,TN,TO,TP,TS,TT,TU,TV,TW,TX,TZ,UG,UK,"
    "UP,UV,UY,UZ,VC,VE,VI,VM,VT,WA,WE,WF,WI,WQ,WS,WZ,YM,ZA,ZI";

bool StateCheck(std::string_view state) { return kStateList.find(state) != std::string_view::npos; }

bool CountryCheck(std::string_view country) {
  return country == "  " || kCountryList.find(country) != std::string_view::npos;
}

namespace {

// Where each record kind keeps its address and which field number its
// Country Code has.
struct AddressBlock {
  std::string_view kind;
  int state;    // State Abbreviation, 2 characters
  int zip;      // ZIP Code, 5 characters
  int country;  // Country Code, 2 characters
  int field;    // field number of the Country Code
};

constexpr AddressBlock kAddressBlocks[] = {
    {"RCA", 155, 157, 210, 16},
    {"RCE", 167, 169, 220, 18},
    {"RCW", 188, 190, 242, 18},
};

}  // namespace

void ForeignAddressCheck(std::string_view record, CheckContext& ctx) {
  const std::string_view kind = RecordIdentifier(record);
  for (const AddressBlock& b : kAddressBlocks) {
    if (b.kind != kind) continue;
    const std::string_view state = FieldText(record, b.state, 2);
    const std::string_view zip = FieldText(record, b.zip, 5);
    const std::string_view country = FieldText(record, b.country, 2);
    const char* message = nullptr;
    if (state == "  " && !IsBlank(zip) && country != "  ") {
      message = "Must not have both a foreign Country Code and a domestic ZIP Code.";
    } else if (country != "  " && state != "  ") {
      message = "Must not have both a domestic State Abbreviation and a foreign Country Code.";
    }
    if (message != nullptr) {
      ctx.recorder.FieldError(Reference("Country Code", b.country, b.country + 1),
                              UserEntry(country), message, b.field);
    }
    return;
  }
}

}  // namespace lintaro
