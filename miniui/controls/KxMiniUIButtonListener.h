// What a button's owner hears from it besides the click notification the
// window receives. Not owned by the button; every operation defaults to
// nothing.
#pragma once

class KxMiniUIButton;

class KxMiniUIButtonListener {
 public:
  virtual void OnButtonPressed(KxMiniUIButton* button);
  virtual void OnButtonClicked(KxMiniUIButton* button);
  virtual void OnButtonDoublePressed(KxMiniUIButton* button);

 protected:
  ~KxMiniUIButtonListener() = default;
};
