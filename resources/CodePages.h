#pragma once
// The code tables the printer knows, in list order: the name a list shows and n of
// ESC t n (n 06 to 0f and 14 are skipped). The printer setting page lists them after
// "No Change"; the command editor's picker lists them alone.
#include <array>
#include <cstdint>

namespace zorvik {

struct CodePage {
    const char* name;   // list entry
    std::uint8_t code;  // n of ESC t n
};

inline constexpr std::array<CodePage, 37> kCodePages = {{
    {"PC437 (USA: Standard Europe)", 0x00},
    {"Katakana", 0x01},
    {"PC850 (Multilingual)", 0x02},
    {"PC860 (Portugues)", 0x03},
    {"PC863 (Canadian-French)", 0x04},
    {"PC865 (Nordic)", 0x05},
    {"WPC1252 (Lantin 1)", 0x10},
    {"PC866 (Cyrillic #2)", 0x11},
    {"PC852 (Latin 2)", 0x12},
    {"PC858 (Euro)", 0x13},
    {"PC862 (Hebrew DOS code)", 0x15},
    {"PC864 (Arabic)", 0x16},
    {"Thai character code 42", 0x17},
    {"WPC1253 (Greek)", 0x18},
    {"WPC1254 (Turkish)", 0x19},
    {"WPC1257 (Baltic)", 0x1a},
    {"Farsi", 0x1b},
    {"WPC1251 (Cyrillic)", 0x1c},
    {"PC737 (Greek)", 0x1d},
    {"PC775 (Baltic)", 0x1e},
    {"Thai character code 14", 0x1f},
    {"Hebrew Old code", 0x20},
    {"WPC1255 (Hebrew)", 0x21},
    {"Thai character code 11", 0x22},
    {"Thai character code 18", 0x23},
    {"PC855 (Cyrillic)", 0x24},
    {"PC857 (Turkish)", 0x25},
    {"PC928 (Greek)", 0x26},
    {"Thai character code 16", 0x27},
    {"WPC1256 (ARB)", 0x28},
    {"WPC1258 (Vietnam)", 0x29},
    {"Khmer (Cambodia)", 0x2a},
    {"PC852 (MSAN)", 0x2b},
    {"PC864 (CASIO)", 0x2c},
    {"PC865/PC1252 (ADC)", 0x2d},
    {"PC866 (DTK)", 0x2e},
    {"WPC1250 (Czech)", 0x2f},
}};

}  // namespace zorvik
