#pragma once

#include <QString>
#include <memory>

class QWidget;

namespace vu {

// The small red notice kept above all windows while the member roster is being fetched.
class WaitNotice {
public:
    WaitNotice();
    ~WaitNotice();
    // Shows (true) or hides and releases (false) the notice.
    void set(bool shown);
    [[nodiscard]] QWidget* widget() const { return m_widget.get(); }
    [[nodiscard]] static QString title() {
        return QStringLiteral("La Base de Données ZIR est en cours de chargement..... QRX !");
    }

private:
    std::unique_ptr<QWidget> m_widget;
};

} // namespace vu
