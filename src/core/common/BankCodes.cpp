// The table of Romanian bank codes (core/common), searched in this order; BRMA and EXIM
// name the same bank.
#include <array>

#include "core/common/Checks.h"

namespace tvx::core {

namespace {

constexpr std::array<BankCode, 38> kBanks = {{
    {"NBOR", "BANCA NATIONALA A ROMANIEI (BNR)"},
    {"ABNA", "ABN AMRO BANK ROMANIA"},
    {"BUCU", "ALPHA BANK ROMANIA SA"},
    {"ARBL", "ANGLO ROMANIAN BANK LTD"},
    {"MIND", "ATE BANK ROMANIA SA"},
    {"BPOS", "BANCPOST SA"},
    {"CARP", "BANCA COMERCIALA CARPATICA SA"},
    {"RNCB", "BANCA COMERCIALA ROMANA SA (BCR)"},
    {"DARO", "BANCA CR FIRENZE ROMANIA SA"},
    {"BROM", "BANCA DI ROMA SPA ITALIA - SUCURSALA BUCURESTI"},
    {"BITR", "BANCA ITALO ROMENA SPA"},
    {"BRDE", "BANCA ROMANA PENTRU DEZVOLTARE (BRD)"},
    {"BRMA", "EXIM BANCA ROMANEASCA"},
    {"BTRL", "BANCA TRANSILVANIA SA"},
    {"DAFB", "BANK LEUMI ROMANIA SA"},
    {"MIRB", "BLOM BANK EGYPT SAE EGYPT - SUCURSALA ROMANIA"},
    {"CECE", "CASA DE ECONOMII SI CONSEMNATIUNI CEC SA"},
    {"CITI", "CITIBANK SA"},
    {"FNNB", "CREDIT EUROPE BANK SA"},
    {"BSEA", "EMPORIKI BANK SA"},
    {"EXIM", "EXIM BANCA ROMANEASCA"},
    {"UGBI", "GARANTIBANK INTERNATIONAL NV"},
    {"HVBL", "HVB BANCA PENTRU LOCUINTE"},
    {"INGB", "ING BANK NV"},
    {"BREL", "LIBRA BANK SA"},
    {"CRDZ", "MKB ROMEXTERRA BANK SA"},
    {"OTPV", "OTP BANK ROMANIA SA"},
    {"PIRB", "PIRAEUS BANK ROMANIA SA"},
    {"PORL", "PORSCHE BANK ROMANIA SA"},
    {"MIRO", "PROCREDIT BANK"},
    {"RZBL", "RAIFFEISEN BANCA PT LOCUINTE SA"},
    {"RZBR", "RAIFFEISEN BANK SA"},
    {"ROIN", "ROMANIAN INTERNATIONAL BANK SA"},
    {"WBAN", "SANPAOLO IMI BANK ROMANIA SA"},
    {"TREZ", "TREZORERIA STATULUI"},
    {"BACX", "UNICREDIT TIRIAC BANK SA"},
    {"VBBU", "VOLKSBANK ROMANIA SA"},
    {"REVO", "REVOLUT BANK UAB"},
}};

}  // namespace

std::span<const BankCode> BankCodes() {
    return kBanks;
}

std::string BankName(std::string_view code) {
    for (const BankCode& bank : kBanks)
        if (bank.code == code) return std::string(bank.name);
    return {};
}

}  // namespace tvx::core
