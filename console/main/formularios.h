// The operation forms that the main window hosts in its right-hand panel, by class name.
// Each form of a later step registers its class here; an option whose form is not
// registered opens TfrmIndisponivel, which says so.
#pragma once

#include <QWidget>
#include <functional>
#include <string>

namespace belmora {

// Makes a new form with no parent; the window gives it its place and frees it.
using FabricaFormulario = std::function<QWidget*()>;

void RegistraFormulario(const std::string& classe, FabricaFormulario fabrica);

// A new form of that class, nullptr when the class is not registered.
QWidget* CriaFormulario(const std::string& classe);

// Stands in for a form that this version of the console does not have yet.
class TfrmIndisponivel : public QWidget {
    Q_OBJECT
  public:
    explicit TfrmIndisponivel(const QString& titulo, QWidget* parent = nullptr);
};

}  // namespace belmora
