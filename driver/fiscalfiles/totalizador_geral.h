// The printer's grand total (GT) at the end of each Z reduction of an ATO COTEPE file. E02's GT
// is the total at the user's registration and says nothing of a later day; the file's E11 line
// holds the GT with the counters it was read with. When those counters are those of the
// file's last reduction, that GT closes the last reduction, and each earlier reduction closes
// at the GT of the next one less the next one's gross sales (the GT grows by exactly the gross
// sales of a day).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo {

class TotalizadorGeralAto {
  public:
    // One line of the file (without its end): E11 and E12 lines are kept, others ignored.
    void Linha(std::string_view linha);
    // The GT at the end of each E12 line, in file order (cents). False with `erro` saying
    // what is missing when the file holds no source for them: no E11 line, or an E11 read
    // after documents the file does not hold (other CRZ or COO than the last reduction's).
    bool Conclui(std::vector<std::int64_t>& gts, std::string& erro) const;

  private:
    struct Reducao {
        std::int64_t crz, coo, vendaBruta;
    };
    std::vector<Reducao> reducoes_;
    bool temE11_ = false;
    std::int64_t crzE11_ = 0, cooE11_ = 0, gtE11_ = 0;
};

}  // namespace tarvo
