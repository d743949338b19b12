#pragma once

#include "ui/shop.h"

#include <QDialog>

#include <filesystem>
#include <optional>

class QLabel;
class QLineEdit;

namespace gui {

// "Datele magazinului": the shop's name, address and phone, checked with the file's rules and
// saved whole or not at all. The dialog closes only once the file is written.
class ShopDialog final : public QDialog {
public:
    ShopDialog(const std::optional<ui::Shop>& shop, std::filesystem::path file,
               QWidget* parent = nullptr);

    // The details as typed (blanks at either end dropped; an empty phone is no phone).
    ui::Shop typed() const;
    // Checks and writes the file; on failure the reason stays under the boxes and the dialog stays
    // open. Returns whether the file was written.
    bool save();
    // The details saved, once save() succeeded.
    const std::optional<ui::Shop>& saved() const { return saved_; }

private:
    std::filesystem::path file_;
    QLineEdit* name_ = nullptr;
    QLineEdit* address_ = nullptr;
    QLineEdit* phone_ = nullptr;
    QLabel* problem_ = nullptr;
    std::optional<ui::Shop> saved_;
};

} // namespace gui
