// The printer's grand total (GT) at the end of each Z reduction of an ATO COTEPE file. E02's GT
// is the total at the user's registration and says nothing of a later day; the file's E11 line
// holds the GT with the counters it was read with. When nothing was sold between the file's
// last reduction and that reading (same CRZ, and either the same COO or no receipt after the
// file's last one), that GT closes the last reduction, and each earlier reduction closes at the
// GT of the next one less the next one's gross sales (the GT grows by exactly the gross sales
// of a day). Readings printed after the reduction move the COO but not the GT.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo {

class TotalizadorGeralAto {
  public:
    // One line of the file (without its end): E11, E12 and E14 lines are kept, others ignored.
    void Linha(std::string_view linha);
    // The GT at the end of each E12 line, in file order (cents). False with `erro` saying
    // what is missing when the file holds no source for them: no E11 line, or an E11 read
    // after another reduction or after receipts the file does not hold.
    bool Conclui(std::vector<std::int64_t>& gts, std::string& erro) const;

  private:
    struct Reducao {
        std::int64_t crz, coo, vendaBruta;
    };
    std::vector<Reducao> reducoes_;
    bool temE11_ = false;
    std::int64_t crzE11_ = 0, cooE11_ = 0, ccfE11_ = 0, gtE11_ = 0;
    std::int64_t ultimoCcf_ = 0;  // the highest CCF of the file's receipts
};

}  // namespace tarvo
