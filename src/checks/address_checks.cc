#include "checks/address_checks.h"

#include "checks/field_checks.h"
#include "checks/field_steps.h"
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

// A foreign Country Code with a domestic ZIP Code, or with a State
// Abbreviation.
void ForeignAddressCheck(std::string_view txtline, const AddressFields& fields, CheckContext& ctx) {
  const std::string_view state = FieldText(txtline, fields.state);
  const std::string_view zip = FieldText(txtline, fields.zip);
  const std::string_view country = FieldText(txtline, fields.country);
  if (state == "  " && !IsBlank(zip) && country != "  ") {
    ReportField(txtline, fields.country,
                "Must not have both a foreign Country Code and a domestic ZIP Code.", ctx);
  } else if (country != "  " && state != "  ") {
    ReportField(txtline, fields.country,
                "Must not have both a domestic State Abbreviation and a foreign Country Code.",
                ctx);
  }
}

// Numeric or blank; false, with a finding, otherwise.
bool NumericOrBlank(std::string_view txtline, const FieldSpec& f, CheckContext& ctx) {
  const std::string_view text = FieldText(txtline, f);
  if (NumCheck(text) || IsBlank(text)) return true;
  ReportField(txtline, f, "Must be numeric or blank.", ctx);
  return false;
}

}  // namespace

void CheckAddressCodes(std::string_view txtline, const AddressFields& fields, CheckContext& ctx,
                       const BlankAddressField& when_blank) {
  bool valid = true;
  if (!StateCheck(FieldText(txtline, fields.state))) {
    ReportField(txtline, fields.state, kStateInvalidMessage, ctx);
    valid = false;
  }
  if (when_blank && IsBlank(FieldText(txtline, fields.state))) when_blank(fields.state);

  const bool zip_blank = IsBlank(FieldText(txtline, fields.zip));
  if (!NumericOrBlank(txtline, fields.zip, ctx)) valid = false;
  if (when_blank && zip_blank) when_blank(fields.zip);

  NumericOrBlank(txtline, fields.zip_extension, ctx);
  const FieldSpec& extension = fields.zip_extension;
  if (zip_blank && !IsBlank(FieldText(txtline, extension))) {
    const std::string_view label =
        fields.lone_extension_label.empty() ? extension.label : fields.lone_extension_label;
    ctx.recorder.FieldError(Reference(label, extension.start, extension.end()),
                            UserEntry(FieldText(txtline, extension)),
                            "A value was entered in the ZIP Code Extension field and the ZIP "
                            "Code field is blank. Either change the ZIP Code Extension field to "
                            "blank or enter a valid ZIP Code.",
                            extension.number);
  }

  CharField(txtline, fields.filler, ctx);
  CharField(txtline, fields.foreign_state, ctx);
  CharField(txtline, fields.foreign_postal_code, ctx);
  if (!CountryCheck(FieldText(txtline, fields.country))) {
    ReportField(txtline, fields.country, kCountryInvalidMessage, ctx);
    valid = false;
  }
  if (valid) ForeignAddressCheck(txtline, fields, ctx);
}

}  // namespace lintaro
