// The About panel's OK button: a kick button as the toolkit provides it.
#pragma once

#include "toolkit/CKickButton.h"

class CKickButtonInv : public CKickButton {
public:
    using CKickButton::CKickButton;
};
