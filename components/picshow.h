// Picture-transition control: shows a picture over a painted background and animates the
// change from what it showed before to a new picture with one of the 176 effects of
// pseffect.h, or with an owner-drawn transition (Style 0).
//
// The animation runs either on the GUI thread (a wait loop that keeps the event loop
// running) or, with Threaded on, on a timer thread of its own: frames are rendered there
// under the control's lock and painted by the GUI thread, and progress, completion and stop
// are reported on the GUI thread. Without a transition it is a picture panel: the
// background picture tiled (or stretched, or centred) over the whole control.
#pragma once

#include <QColor>
#include <QImage>
#include <QRect>
#include <QWidget>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

class QPainter;

namespace tarvo {

class TCustomPicShow;

// Owner-drawn frames and frame hooks: Picture is the new picture, Screen the frame being
// drawn. OnBeforeNewFrame, OnAfterNewFrame and OnCustomDraw run on the thread that renders.
using TCustomDrawEvent = std::function<void(TCustomPicShow* Sender, const QImage& Picture, QImage& Screen)>;

class TCustomPicShow : public QWidget {
    Q_OBJECT

  public:
    enum TBackgroundMode : uint8_t { bmNone, bmTiled, bmStretched, bmCentered };
    Q_ENUM(TBackgroundMode)

    explicit TCustomPicShow(QWidget* parent = nullptr);
    ~TCustomPicShow() override;

    const QImage& Picture() const { return picture_; }
    void SetPicture(const QImage& value);
    const QImage& BgPicture() const { return bgPicture_; }
    void SetBgPicture(const QImage& value);
    TBackgroundMode BgMode() const { return bgMode_; }
    void SetBgMode(TBackgroundMode value);
    bool Center() const { return center_; }
    void SetCenter(bool value);
    bool Stretch() const { return stretch_; }
    void SetStretch(bool value);
    bool Proportional() const { return proportional_; }
    void SetProportional(bool value);
    QColor FrameColor() const { return frameColor_; }
    void SetFrameColor(const QColor& value);
    int FrameWidth() const { return frameWidth_; }
    void SetFrameWidth(int value);
    // Colour behind a picture with transparent parts and of the background without a picture.
    QColor Color() const { return color_; }
    void SetColor(const QColor& value);
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool value);

    int Delay() const { return delay_; }
    void SetDelay(int value);
    int Step() const { return step_; }
    void SetStep(int value);
    int Style() const { return style_; }
    void SetStyle(int value);
    QString StyleName() const;
    void SetStyleName(const QString& value);
    bool ExactTiming() const { return exactTiming_; }
    void SetExactTiming(bool value) { exactTiming_ = value; }
    bool Manual() const { return manual_; }
    void SetManual(bool value);
    bool OverDraw() const { return overDraw_; }
    void SetOverDraw(bool value) { overDraw_ = value; }
    bool Reverse() const { return reverse_; }
    void SetReverse(bool value) { reverse_ = value; }
    bool Threaded() const { return threaded_; }
    void SetThreaded(bool value) { threaded_ = value; }
    int Progress() const { return progress_; }
    void SetProgress(int value);
    bool Busy() const { return busy_; }

    // The frame being shown, at the picture's own size (empty before the first transition).
    QImage Display() const;
    // Where the picture is drawn in the control.
    QRect PictureRect() const;

    // Starts a transition to the current Picture (nothing when it is empty or one runs).
    virtual void Execute();
    // Ends a running transition: OnStop, but no OnComplete.
    virtual void Stop();
    // Empties the display when no transition runs.
    virtual void Clear();

    TCustomDrawEvent OnCustomDraw;
    TCustomDrawEvent OnBeforeNewFrame;
    TCustomDrawEvent OnAfterNewFrame;
    TCustomDrawEvent OnStart;

  signals:
    void OnChange();
    void OnProgress();
    void OnComplete();
    void OnStop();
    void OnMouseEnter();
    void OnMouseLeave();

  protected:
    virtual void PaintBackground(QPainter& canvas, const QRect& rect);
    virtual void PaintTo(QPainter& canvas);
    virtual void DoChange();
    virtual void DoProgress();
    virtual void DoCustomDraw(const QImage& picture, QImage& screen);
    virtual void DoBeforeNewFrame(const QImage& picture, QImage& screen);
    virtual void DoAfterNewFrame(const QImage& picture, QImage& screen);
    virtual void DoComplete();
    virtual void DoStart(const QImage& picture, QImage& screen);
    virtual void DoStop();
    // New size for AutoSize; false when the control keeps its size.
    bool CanAutoSize(int& newWidth, int& newHeight) const;

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

  private:
    using Relogio = std::chrono::steady_clock;

    void CalculaLayout();
    void RefazFundo();
    void Prepara();
    void Anima();
    bool ProximoQuadro();
    void DesenhaQuadro();
    void Termina();
    void IniciaTimer();
    void ParaTimer();
    void PicShowTimerProc();
    void LacoDoTimer(int periodo);
    void AjustaTamanho();
    void MostraQuadro();

    QImage picture_, bgPicture_;
    TBackgroundMode bgMode_ = bmTiled;
    QColor frameColor_, color_;
    int frameWidth_ = 0;
    bool center_ = false, stretch_ = false, proportional_ = false, autoSize_ = false;
    bool overDraw_ = true, threaded_ = true, manual_ = false, reverse_ = false, exactTiming_ = false;
    int style_ = 51;
    int step_ = 4;
    int delay_ = 40;
    std::atomic<int> progress_{0};
    std::atomic<bool> busy_{false}, stopping_{false};
    bool destruindo_ = false;
    unsigned transicao_ = 0;  // numbers each transition, so a late completion of an old one is ignored

    // Guarded by lock_: the frame, the start image, the new picture and the rectangles.
    mutable std::recursive_mutex lock_;
    QImage display_;
    QImage fundo_;       // start image of the transition
    QImage novaFigura_;  // the picture rendered at its own size
    QRect pictureRect_, sourceRect_;
    bool fundoPintado_ = false;  // the start image is the painted background, not the last frame

    Relogio::time_point ultimoTick_;

    // Timer thread.
    std::thread timer_;
    std::mutex timerMutex_;
    std::condition_variable timerSinal_;
    bool timerParar_ = false;
};

// The control with its properties published to Qt's property system.
class TPicShow : public TCustomPicShow {
    Q_OBJECT
    Q_PROPERTY(QImage Picture READ Picture WRITE SetPicture)
    Q_PROPERTY(QImage BgPicture READ BgPicture WRITE SetBgPicture)
    Q_PROPERTY(TBackgroundMode BgMode READ BgMode WRITE SetBgMode)
    Q_PROPERTY(bool Center READ Center WRITE SetCenter)
    Q_PROPERTY(bool Stretch READ Stretch WRITE SetStretch)
    Q_PROPERTY(bool Proportional READ Proportional WRITE SetProportional)
    Q_PROPERTY(QColor FrameColor READ FrameColor WRITE SetFrameColor)
    Q_PROPERTY(int FrameWidth READ FrameWidth WRITE SetFrameWidth)
    Q_PROPERTY(QColor Color READ Color WRITE SetColor)
    Q_PROPERTY(bool AutoSize READ AutoSize WRITE SetAutoSize)
    Q_PROPERTY(int Delay READ Delay WRITE SetDelay)
    Q_PROPERTY(int Step READ Step WRITE SetStep)
    Q_PROPERTY(int Style READ Style WRITE SetStyle)
    Q_PROPERTY(QString StyleName READ StyleName WRITE SetStyleName)
    Q_PROPERTY(bool ExactTiming READ ExactTiming WRITE SetExactTiming)
    Q_PROPERTY(bool Manual READ Manual WRITE SetManual)
    Q_PROPERTY(bool OverDraw READ OverDraw WRITE SetOverDraw)
    Q_PROPERTY(bool Reverse READ Reverse WRITE SetReverse)
    Q_PROPERTY(bool Threaded READ Threaded WRITE SetThreaded)
    Q_PROPERTY(int Progress READ Progress WRITE SetProgress)
    Q_PROPERTY(bool Busy READ Busy)

  public:
    using TCustomPicShow::TCustomPicShow;
};

}  // namespace tarvo
