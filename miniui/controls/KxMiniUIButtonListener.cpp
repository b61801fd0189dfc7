#include "miniui/controls/KxMiniUIButtonListener.h"

void KxMiniUIButtonListener::OnButtonPressed(KxMiniUIButton*) {}
void KxMiniUIButtonListener::OnButtonClicked(KxMiniUIButton*) {}
void KxMiniUIButtonListener::OnButtonDoublePressed(KxMiniUIButton*) {}
