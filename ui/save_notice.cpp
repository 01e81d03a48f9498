#include "ui/save_notice.h"

namespace pondex::ui {

void ShowSaveFailure(Form& form, const MainControls& c) {
  form.setVisible(c.saveNotice, true);
}

}  // namespace pondex::ui
