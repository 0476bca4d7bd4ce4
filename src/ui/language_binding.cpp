#include "ui/language_binding.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QWidget>

namespace vu {

namespace {

void setCaption(QObject* target, const QString& text) {
    if (auto* label = qobject_cast<QLabel*>(target)) {
        label->setText(text);
    } else if (auto* button = qobject_cast<QAbstractButton*>(target)) {
        button->setText(text);
    } else if (auto* menu = qobject_cast<QMenu*>(target)) {
        menu->setTitle(text);
    } else if (auto* action = qobject_cast<QAction*>(target)) {
        action->setText(text);
    } else if (auto* box = qobject_cast<QGroupBox*>(target)) {
        box->setTitle(text);
    }
}

void setHint(QObject* target, const QString& text) {
    if (auto* widget = qobject_cast<QWidget*>(target)) {
        widget->setToolTip(text);
    } else if (auto* action = qobject_cast<QAction*>(target)) {
        action->setToolTip(text);
    }
}

} // namespace

void applyLanguage(QWidget* window, Form form, const LanguageTexts& texts) {
    if (!texts.isLoaded()) {
        return;
    }
    for (const LanguageKey& key : languageKeys()) {
        if (key.form != form) {
            continue;
        }
        const QString control = QString::fromLatin1(key.control);
        if (key.target == TextTarget::WindowTitle) {
            window->setWindowTitle(texts.windowTitle(form));
            continue;
        }
        if (control.isEmpty() ||
            (key.target != TextTarget::Caption && key.target != TextTarget::Hint)) {
            continue;
        }
        QObject* target = window->findChild<QObject*>(control);
        if (target == nullptr) {
            continue;
        }
        if (key.target == TextTarget::Caption) {
            setCaption(target, texts.caption(form, control));
        } else {
            setHint(target, texts.hint(form, control));
        }
    }
    if (form == Form::Main) {
        if (auto* label = window->findChild<QLabel*>(QStringLiteral("Label_temps"))) {
            label->setText(texts.caption(Form::Main, u"Label_temps"));
        }
    }
}

} // namespace vu
