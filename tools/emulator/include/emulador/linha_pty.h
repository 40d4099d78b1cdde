// A device on a pseudo-terminal for the peripherals' emulators (non-fiscal printer, scale):
// the slave linked as <pasta>/<porta> (the driver's TARVO_DEVDIR), the bytes that arrive
// handed to a function on the serving thread together with the line speed the driver set.
#pragma once

#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace emulador {

class LinhaPty {
  public:
    // Called on the serving thread with each chunk received and the line's speed then.
    using AoReceber = std::function<void(const std::string& bytes, int baud)>;

    LinhaPty() = default;
    ~LinhaPty();
    LinhaPty(const LinhaPty&) = delete;
    LinhaPty& operator=(const LinhaPty&) = delete;

    // Opens the pseudo-terminal, links it and starts serving. False with Erro() on failure.
    bool Inicia(const std::string& pasta, const std::string& porta, AoReceber aoReceber);
    // Stops serving, closes the terminal and removes the link. Safe to call twice.
    void Para();
    std::string Erro() const { return erro_; }
    std::string Link() const { return link_; }

    // Writes to the driver (from the serving thread or any other).
    void Escreve(const std::string& bytes);
    // Sleeps on the serving thread; false when asked to stop meanwhile.
    bool Dorme(int ms);

  private:
    void Serve();

    AoReceber aoReceber_;
    std::mutex escrita_;
    std::thread fio_;
    int mestre_ = -1, escravo_ = -1;
    int acorda_[2] = {-1, -1};
    std::string link_, erro_;
};

// Speed in bits per second of a termios speed code (0 when unknown).
int BaudDaVelocidade(unsigned velocidade);

}  // namespace emulador
