// Building resource containers (layout in platform/kernel/qrs.h): used by the resource compiler (tools/qrc)
// and by tests that need a container of their own.
#pragma once

#include <map>
#include <span>
#include <string>
#include <vector>

#include "platform/base/types.h"
#include "platform/kernel/qrs.h"
#include "platform/user/dialog_template.h"
#include "platform/user/menu_template.h"

class QrsBuilder {
 public:
  // Each Add answers false (with a reason in `error`) for a duplicate or invalid resource
  // and then adds nothing.
  bool Add(const QrsName& type, const QrsName& name, std::vector<BYTE> data, std::string& error);
  // String `id` (1..65535 characters; stored in the platform's blocks of 16).
  bool AddString(UINT id, std::u16string_view text, std::string& error);
  // A bitmap from the bytes of a ".bmp" file: kept as a packed DIB (the file without its
  // 14-byte file header), after checking the headers against the bytes.
  bool AddBitmap(const QrsName& name, std::span<const BYTE> bmpFile, std::string& error);
  // An icon from the bytes of a ".ico" file: one RT_ICON per image (numbered from 1 upwards,
  // skipping numbers in use) and an RT_GROUP_ICON directory under `name`.
  bool AddIcon(const QrsName& name, std::span<const BYTE> icoFile, std::string& error);
  bool AddMenu(const QrsName& name, const MenuTemplate& menu, std::string& error);
  bool AddDialog(const QrsName& name, const DialogTemplate& dialog, std::string& error);

  std::vector<BYTE> Build() const;

 private:
  struct Item {
    QrsName type;
    QrsName name;
    std::vector<BYTE> data;
  };
  bool Has(const QrsName& type, const QrsName& name) const;
  std::vector<Item> items_;
  std::map<UINT, std::u16string> strings_;
  WORD nextIconId_ = 1;
};
