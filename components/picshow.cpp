#include "picshow.h"

#include <QEventLoop>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <cstring>

#include "pseffect.h"

namespace tarvo {

namespace {

// Period limits of the frame timer, as a system timer would report them: frames come at
// most once a millisecond and at least once every thousand seconds.
constexpr int PeriodoMinimo = 1;
constexpr int PeriodoMaximo = 1'000'000;

// Transition bitmaps are 32 bits a pixel, the format every effect works on.
constexpr QImage::Format Formato = QImage::Format_RGB32;

// Copies one image into another of the same size without reallocating it.
void CopiaPixels(QImage& destino, const QImage& origem) {
    const qsizetype n = std::min(destino.bytesPerLine(), origem.bytesPerLine());
    for (int y = 0; y < origem.height(); ++y) std::memcpy(destino.scanLine(y), origem.constScanLine(y), n);
}

}  // namespace

TCustomPicShow::TCustomPicShow(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);  // every pixel is painted, nothing is erased first
    frameColor_ = palette().color(QPalette::Inactive, QPalette::Window).darker(115);
    color_ = palette().color(QPalette::Base);
    resize(100, 100);
}

TCustomPicShow::~TCustomPicShow() {
    destruindo_ = true;
    Stop();
    ParaTimer();
}

// --- properties ----------------------------------------------------------------------------

void TCustomPicShow::SetPicture(const QImage& value) {
    picture_ = value;
    DoChange();
    AjustaTamanho();
}

void TCustomPicShow::SetBgPicture(const QImage& value) {
    bgPicture_ = value;
    if (bgMode_ != bmNone) {
        RefazFundo();
        update();
    }
}

void TCustomPicShow::SetBgMode(TBackgroundMode value) {
    if (bgMode_ == value) return;
    bgMode_ = value;
    if (!bgPicture_.isNull()) {
        RefazFundo();
        update();
    }
}

void TCustomPicShow::SetCenter(bool value) {
    if (center_ == value) return;
    center_ = value;
    CalculaLayout();
    if (!Display().isNull()) update();
}

void TCustomPicShow::SetStretch(bool value) {
    if (stretch_ == value) return;
    stretch_ = value;
    CalculaLayout();
    if (!Display().isNull()) update();
}

void TCustomPicShow::SetProportional(bool value) {
    if (proportional_ == value) return;
    proportional_ = value;
    CalculaLayout();
    if (!Display().isNull()) update();
}

void TCustomPicShow::SetFrameColor(const QColor& value) {
    if (frameColor_ == value) return;
    frameColor_ = value;
    if (frameWidth_ > 0 && !Display().isNull()) update();
}

void TCustomPicShow::SetFrameWidth(int value) {
    value = std::max(value, 0);
    if (frameWidth_ == value) return;
    frameWidth_ = value;
    AjustaTamanho();
    if (!Display().isNull()) {
        CalculaLayout();
        update();
    }
}

void TCustomPicShow::SetColor(const QColor& value) {
    if (color_ == value) return;
    color_ = value;
    update();
}

void TCustomPicShow::SetAutoSize(bool value) {
    if (autoSize_ == value) return;
    autoSize_ = value;
    AjustaTamanho();
}

void TCustomPicShow::SetDelay(int value) {
    delay_ = std::clamp(value, 0, 65535);
}

void TCustomPicShow::SetStep(int value) {
    if (value <= 0)
        step_ = 1;
    else if (value > 100)
        step_ = 99;
    else
        step_ = value;
}

void TCustomPicShow::SetStyle(int value) {
    if (value < 0 || value > PSEffectCount) return;
    style_ = value;
    if (busy_ && manual_ && !stopping_) {
        DesenhaQuadro();
        update(PictureRect());
    }
}

QString TCustomPicShow::StyleName() const {
    if (style_ == 0) return QStringLiteral("Custom");
    return QString::fromLatin1(PSEffect(style_)->Name);
}

void TCustomPicShow::SetStyleName(const QString& value) {
    if (value.compare(QLatin1String("Custom"), Qt::CaseInsensitive) == 0) {
        SetStyle(0);
        return;
    }
    if (const int row = PSEffectByName(value); row > 0) SetStyle(row);
}

void TCustomPicShow::SetManual(bool value) {
    if (manual_ == value) return;
    manual_ = value;
    ParaTimer();
    if (busy_) {
        if (!manual_) Anima();
    } else {
        progress_ = reverse_ ? 100 : 0;
    }
}

void TCustomPicShow::SetProgress(int value) {
    value = std::clamp(value, 0, 100);
    if (!busy_ || value == progress_) return;
    progress_ = value;
    DesenhaQuadro();
    MostraQuadro();
    if (threaded_ && !manual_) {
        QMetaObject::invokeMethod(
            this, [this] { DoProgress(); }, Qt::QueuedConnection);
    } else {
        DoProgress();
    }
}

QImage TCustomPicShow::Display() const {
    std::lock_guard guard(lock_);
    return display_;
}

QRect TCustomPicShow::PictureRect() const {
    std::lock_guard guard(lock_);
    return pictureRect_;
}

// --- events ----------------------------------------------------------------------------------

void TCustomPicShow::DoChange() {
    emit OnChange();
}
void TCustomPicShow::DoProgress() {
    emit OnProgress();
}
void TCustomPicShow::DoComplete() {
    emit OnComplete();
}
void TCustomPicShow::DoStop() {
    emit OnStop();
}

void TCustomPicShow::DoCustomDraw(const QImage& picture, QImage& screen) {
    if (OnCustomDraw) OnCustomDraw(this, picture, screen);
}
void TCustomPicShow::DoBeforeNewFrame(const QImage& picture, QImage& screen) {
    if (OnBeforeNewFrame) OnBeforeNewFrame(this, picture, screen);
}
void TCustomPicShow::DoAfterNewFrame(const QImage& picture, QImage& screen) {
    if (OnAfterNewFrame) OnAfterNewFrame(this, picture, screen);
}
void TCustomPicShow::DoStart(const QImage& picture, QImage& screen) {
    if (OnStart) OnStart(this, picture, screen);
}

void TCustomPicShow::enterEvent(QEnterEvent* event) {
    QWidget::enterEvent(event);
    emit OnMouseEnter();
}

void TCustomPicShow::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    emit OnMouseLeave();
}

// --- layout and painting -------------------------------------------------------------------

bool TCustomPicShow::CanAutoSize(int& newWidth, int& newHeight) const {
    if (picture_.isNull()) return false;
    newWidth = picture_.width() + 2 * frameWidth_;
    newHeight = picture_.height() + 2 * frameWidth_;
    return true;
}

void TCustomPicShow::AjustaTamanho() {
    int w = 0, h = 0;
    if (autoSize_ && CanAutoSize(w, h)) resize(w, h);
}

void TCustomPicShow::CalculaLayout() {
    std::lock_guard guard(lock_);
    const int availW = width() - 2 * frameWidth_, availH = height() - 2 * frameWidth_;
    int w = sourceRect_.width(), h = sourceRect_.height();
    if (proportional_ && w >= 1 && h >= 1 && (stretch_ || w > availW || h > availH)) {
        // availH / h < availW / w, without the division
        if (static_cast<int64_t>(availH) * w < static_cast<int64_t>(availW) * h) {
            w = MulDiv(w, availH, h);
            h = availH;
        } else {
            h = MulDiv(h, availW, w);
            w = availW;
        }
    } else if (stretch_) {
        w = availW;
        h = availH;
    }
    pictureRect_ = QRect(frameWidth_, frameWidth_, w, h);
    if (center_) pictureRect_.translate((availW - w) / 2, (availH - h) / 2);
    if (fundoPintado_ && !fundo_.isNull()) RefazFundo();
}

// Paints into the start image what the control shows behind the picture, so that a
// transition on a fresh control starts from the background in place.
void TCustomPicShow::RefazFundo() {
    std::lock_guard guard(lock_);
    if (!fundoPintado_ || fundo_.isNull() || pictureRect_.isEmpty()) return;
    QPainter p(&fundo_);
    p.scale(static_cast<double>(fundo_.width()) / pictureRect_.width(),
            static_cast<double>(fundo_.height()) / pictureRect_.height());
    p.translate(-pictureRect_.topLeft());
    PaintBackground(p, rect());
}

void TCustomPicShow::PaintBackground(QPainter& canvas, const QRect& rect) {
    QRect visivel = rect;
    if (canvas.hasClipping()) visivel &= canvas.clipBoundingRect().toAlignedRect();
    if (visivel.isEmpty()) return;
    const TBackgroundMode modo = bgPicture_.isNull() ? bmNone : bgMode_;
    switch (modo) {
        case bmTiled: {
            // Tiles are counted from the rectangle's origin; only those over the visible
            // part are drawn.
            const int tw = bgPicture_.width(), th = bgPicture_.height();
            canvas.save();
            canvas.setClipRect(rect, Qt::IntersectClip);
            const int x0 = rect.left() + (visivel.left() - rect.left()) / tw * tw;
            const int y0 = rect.top() + (visivel.top() - rect.top()) / th * th;
            for (int y = y0; y <= visivel.bottom(); y += th)
                for (int x = x0; x <= visivel.right(); x += tw) canvas.drawImage(x, y, bgPicture_);
            canvas.restore();
            break;
        }
        case bmStretched:
            canvas.drawImage(rect, bgPicture_);
            break;
        case bmCentered: {
            const QRect figura(rect.left() + (rect.width() - bgPicture_.width()) / 2,
                               rect.top() + (rect.height() - bgPicture_.height()) / 2, bgPicture_.width(),
                               bgPicture_.height());
            canvas.save();
            canvas.setClipRect(rect, Qt::IntersectClip);
            canvas.drawImage(figura.topLeft(), bgPicture_);
            canvas.setClipRegion(QRegion(rect).subtracted(figura), Qt::IntersectClip);
            canvas.fillRect(rect, color_);
            canvas.restore();
            break;
        }
        case bmNone:
            canvas.fillRect(rect, color_);
            break;
    }
}

void TCustomPicShow::PaintTo(QPainter& canvas) {
    std::lock_guard guard(lock_);
    if (display_.isNull()) {
        PaintBackground(canvas, rect());
        return;
    }
    if (!pictureRect_.isEmpty()) canvas.drawImage(pictureRect_, display_);
    const QRect moldura = pictureRect_.adjusted(-frameWidth_, -frameWidth_, frameWidth_, frameWidth_);
    if (frameWidth_ > 0) {
        const QRegion anel = QRegion(moldura).subtracted(pictureRect_);
        for (const QRect& r : anel) canvas.fillRect(r, frameColor_);
    }
    canvas.save();
    canvas.setClipRegion(QRegion(this->rect()).subtracted(moldura), Qt::IntersectClip);
    PaintBackground(canvas, this->rect());
    canvas.restore();
}

void TCustomPicShow::paintEvent(QPaintEvent* event) {
    std::lock_guard guard(lock_);
    QPainter p(this);
    if (!display_.isNull() && pictureRect_.contains(event->rect())) {
        p.drawImage(pictureRect_, display_);
        return;
    }
    p.setClipRegion(event->region());
    PaintTo(p);
}

void TCustomPicShow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    CalculaLayout();
    update();
}

// Shows the frame just rendered: painted at once on the GUI thread, asked of the GUI
// thread from the timer thread.
void TCustomPicShow::MostraQuadro() {
    const QRect r = PictureRect();
    if (QThread::currentThread() == thread()) {
        if (isVisible()) repaint(r);
    } else {
        QMetaObject::invokeMethod(
            this, [this, r] { update(r); }, Qt::QueuedConnection);
    }
}

// --- transition ------------------------------------------------------------------------------

void TCustomPicShow::Execute() {
    if (picture_.isNull() || busy_) return;
    busy_ = true;
    ++transicao_;
    Prepara();
    if (!manual_ && !stopping_) Anima();
}

void TCustomPicShow::Prepara() {
    const int w = picture_.width(), h = picture_.height();
    {
        std::lock_guard guard(lock_);
        if (overDraw_ && !display_.isNull() && display_.size() == picture_.size()) {
            fundo_ = display_.copy();
            fundoPintado_ = false;
        } else {
            fundo_ = QImage(w, h, Formato);
            fundo_.fill(color_);
            fundoPintado_ = true;
        }
        novaFigura_ = QImage(w, h, Formato);
        novaFigura_.fill(color_);
        {
            QPainter p(&novaFigura_);
            p.drawImage(0, 0, picture_);
        }
        if (display_.size() != picture_.size() || display_.format() != Formato)
            display_ = QImage(w, h, Formato);
        sourceRect_ = QRect(0, 0, w, h);
        CalculaLayout();
        CopiaPixels(display_, fundo_);
        progress_ = reverse_ ? 100 : 0;
    }
    update();
    DoStart(novaFigura_, fundo_);
}

void TCustomPicShow::Anima() {
    ultimoTick_ = Relogio::now();
    if (threaded_) {
        IniciaTimer();
        return;
    }
    QPointer<TCustomPicShow> vivo(this);
    const unsigned estaTransicao = transicao_;
    while (ProximoQuadro() && !manual_ && !stopping_) {
        const auto fim = ultimoTick_ + std::chrono::milliseconds(delay_);
        const auto resta =
            std::chrono::duration_cast<std::chrono::milliseconds>(fim - Relogio::now()).count();
        QEventLoop espera;
        if (resta > 0) {
            QTimer::singleShot(static_cast<int>(resta), Qt::PreciseTimer, &espera, &QEventLoop::quit);
            espera.exec();
        } else {
            espera.processEvents();
        }
        // Anything may have happened while the events ran: the control may be gone, stopped,
        // or already on another transition.
        if (!vivo || !busy_ || transicao_ != estaTransicao) return;
    }
    if (!(manual_ && !stopping_)) Termina();
}

bool TCustomPicShow::ProximoQuadro() {
    const auto agora = Relogio::now();
    int passo = step_;
    // Exact timing scales the step by the time the frame really took. With a delay of 0
    // there is no nominal frame time to scale by, so the plain step is used; the step is
    // never negative, so the progress only ever runs toward its end.
    if (exactTiming_ && delay_ > 0) {
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(agora - ultimoTick_).count();
        passo = MulDiv(step_, static_cast<int>(std::clamp<int64_t>(ms, 0, 1'000'000)), delay_);
    }
    passo = std::max(passo, 0);
    ultimoTick_ = agora;
    const int p = progress_;
    int novo;
    if (!reverse_)
        novo = p >= 100 - passo ? 100 : p + passo;
    else
        novo = passo < p ? p - passo : 0;
    SetProgress(novo);
    return reverse_ ? progress_ > 0 : progress_ < 100;
}

void TCustomPicShow::DesenhaQuadro() {
    std::lock_guard guard(lock_);
    if (display_.isNull() || fundo_.isNull() || novaFigura_.isNull()) return;
    CopiaPixels(display_, fundo_);
    DoBeforeNewFrame(novaFigura_, display_);
    const int p = progress_;
    if (p >= 100) {
        CopiaPixels(display_, novaFigura_);
    } else if (p > 0) {
        if (style_ > 0) {
            const int W = novaFigura_.width(), H = novaFigura_.height();
            int X, Y;
            EscalaProgresso(W, H, p, X, Y);
            PSEffect(style_)->Proc(display_, novaFigura_, W, H, X, Y, p);
        } else {
            DoCustomDraw(novaFigura_, display_);
        }
    }
    DoAfterNewFrame(novaFigura_, display_);
}

void TCustomPicShow::Termina() {
    if (!busy_) return;
    busy_ = false;
    {
        std::lock_guard guard(lock_);
        novaFigura_ = QImage();
        fundo_ = QImage();
        fundoPintado_ = false;
    }
    if (destruindo_) return;
    if (!stopping_) DoComplete();
    DoStop();
}

void TCustomPicShow::Stop() {
    if (!busy_ || stopping_) return;
    stopping_ = true;
    ParaTimer();
    Termina();
    stopping_ = false;
}

void TCustomPicShow::Clear() {
    if (busy_) return;
    {
        std::lock_guard guard(lock_);
        if (display_.isNull()) return;
        display_ = QImage();
        pictureRect_ = QRect();
        sourceRect_ = QRect();
    }
    update();
}

// --- frame timer -----------------------------------------------------------------------------

void TCustomPicShow::IniciaTimer() {
    if (timer_.joinable()) {
        {
            std::lock_guard guard(timerMutex_);
            if (!timerParar_) return;  // already running
        }
        // a timer that stopped itself from inside a frame has left its loop: reap it
        if (timer_.get_id() == std::this_thread::get_id()) return;
        timer_.join();
    }
    delay_ = std::min(delay_, PeriodoMaximo);
    int resolucao = std::max(delay_ / 10, PeriodoMinimo);
    if (PeriodoMinimo > delay_) delay_ = resolucao;
    if (delay_ == 0) return;
    {
        std::lock_guard guard(timerMutex_);
        timerParar_ = false;
    }
    timer_ = std::thread([this, periodo = delay_] { LacoDoTimer(periodo); });
}

void TCustomPicShow::LacoDoTimer(int periodo) {
    auto proximo = Relogio::now() + std::chrono::milliseconds(periodo);
    std::unique_lock espera(timerMutex_);
    while (!timerParar_) {
        if (timerSinal_.wait_until(espera, proximo, [this] { return timerParar_; })) break;
        proximo += std::chrono::milliseconds(periodo);
        if (proximo < Relogio::now()) proximo = Relogio::now() + std::chrono::milliseconds(periodo);
        espera.unlock();
        PicShowTimerProc();
        espera.lock();
    }
}

void TCustomPicShow::PicShowTimerProc() {
    if (ProximoQuadro()) return;
    {
        std::lock_guard guard(timerMutex_);
        timerParar_ = true;
    }
    const unsigned estaTransicao = transicao_;
    QMetaObject::invokeMethod(
        this,
        [this, estaTransicao] {
            if (estaTransicao != transicao_) return;
            ParaTimer();
            Termina();
        },
        Qt::QueuedConnection);
}

void TCustomPicShow::ParaTimer() {
    {
        std::lock_guard guard(timerMutex_);
        timerParar_ = true;
    }
    timerSinal_.notify_all();
    // From inside a frame (a frame hook that stops the animation) the thread cannot wait for
    // itself; it leaves its loop on its own and is joined by the next stop or start.
    if (timer_.joinable() && timer_.get_id() != std::this_thread::get_id()) timer_.join();
    std::lock_guard guard(lock_);
}

}  // namespace tarvo
