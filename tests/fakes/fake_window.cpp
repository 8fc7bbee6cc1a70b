#include "fakes/fake_window.h"

bool FakeWindow::ShowModal(const FormSpec& formSpec, WindowEvents& events) {
  if (!available) return false;
  ++shows;
  form = formSpec;
  captions.clear();
  visible.clear();
  captionChanges.clear();
  refusedPresses.clear();
  timerIntervalMs = 0;
  ticks = 0;
  closedByForm = closedByUser = false;
  for (const ControlSpec& c : formSpec.controls) {
    captions[c.name] = c.caption;
    visible[c.name] = c.visible;
  }

  events.Load();
  auto open = [&] { return !closedByForm && !closedByUser; };
  for (const Step& step : script) {
    if (!open()) break;
    switch (step.kind) {
      case Step::Tick:
        // A stopped timer does not fire, however long the user waits.
        if (timerIntervalMs > 0) {
          ++ticks;
          events.Timer();
        }
        break;
      case Step::Press: {
        const bool pressable = IsButton(step.button) && visible[step.button];
        if (pressable)
          events.Click(step.button);
        else
          refusedPresses.push_back(step.button);
        break;
      }
      case Step::CloseBox:
        closedByUser = true;
        break;
    }
  }
  while (open() && timerIntervalMs > 0 && ticks < maxTicks) {
    ++ticks;
    events.Timer();
  }
  if (open()) closedByUser = true;
  return true;
}

void FakeWindow::SetCaption(const std::string& control, const std::string& caption) {
  if (!Known(control)) return;
  captions[control] = caption;
  captionChanges.emplace_back(control, caption);
}

void FakeWindow::SetVisible(const std::string& control, bool shown) {
  if (Known(control)) visible[control] = shown;
}

bool FakeWindow::IsButton(const std::string& control) const {
  for (const ControlSpec& c : form.controls)
    if (c.name == control) return c.kind == ControlKind::Button;
  return false;
}

std::vector<std::string> FakeWindow::VisibleButtons() const {
  std::vector<std::string> out;
  for (const ControlSpec& c : form.controls)
    if (c.kind == ControlKind::Button && visible.at(c.name)) out.push_back(c.name);
  return out;
}
