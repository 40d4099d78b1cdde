// The splash window shown while the console looks for the printer at start-up.
#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;
class QTimer;

namespace belmora {

class TfrmVintaro;

class TformSplash : public QDialog {
    Q_OBJECT
  public:
    explicit TformSplash(TfrmVintaro* principal);

    QLabel* Label2() const { return label2_; }
    QProgressBar* ProgressBar1() const { return progressBar1_; }

  protected:
    void showEvent(QShowEvent* evento) override;

  private:
    void Timer1Timer();

    TfrmVintaro* principal_;
    QLabel* label2_;
    QProgressBar* progressBar1_;
    QTimer* timer1_;
};

}  // namespace belmora
