#include "ui/save_notice.h"

namespace pondex::ui {

void showSaveFailure(Form& form, const MainControls& c) {
  form.setVisible(c.saveNotice, true);
}

}  // namespace pondex::ui
