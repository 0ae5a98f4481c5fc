#include "lv2/Lv2Messages.h"

#include <cstddef>

#include <lv2/atom/util.h>

#include "lv2/Lv2Urids.h"

namespace {

constexpr uint32_t kBins = SpectrumLayout::kLevelBins;
constexpr uint32_t kEventHead = sizeof(LV2_Atom_Event);
constexpr uint32_t kObjectHead = sizeof(LV2_Atom_Object);
constexpr uint32_t kPropertyHead = sizeof(LV2_Atom_Property_Body) - sizeof(LV2_Atom);
constexpr uint32_t kPaddedScalar = sizeof(LV2_Atom) + 8;

bool fits(const LV2_Atom_Forge& forge, uint32_t size) {
    return forge.buf != nullptr && forge.offset <= forge.size && forge.size - forge.offset >= size;
}

bool isObject(const Lv2Urids& urids, const LV2_Atom* atom) {
    return atom->type == urids.atomObject || atom->type == urids.atomBlank;
}

} // namespace

uint32_t Lv2Messages::frameEventSize() {
    return kEventHead + kObjectHead + kPropertyHead + sizeof(LV2_Atom_Vector) +
           lv2_atom_pad_size(kBins * sizeof(float));
}

uint32_t Lv2Messages::statusEventSize() {
    return kEventHead + kObjectHead + 2 * (kPropertyHead + kPaddedScalar);
}

bool Lv2Messages::writeFrame(LV2_Atom_Forge& forge, const Lv2Urids& urids, int64_t time,
                             const float* powers) {
    if (!powers || !fits(forge, frameEventSize())) {
        return false;
    }
    LV2_Atom_Forge_Frame object;
    lv2_atom_forge_frame_time(&forge, time);
    lv2_atom_forge_object(&forge, &object, 0, urids.frame);
    lv2_atom_forge_key(&forge, urids.powers);
    lv2_atom_forge_vector(&forge, sizeof(float), urids.atomFloat, kBins, powers);
    lv2_atom_forge_pop(&forge, &object);
    return true;
}

bool Lv2Messages::writeStatus(LV2_Atom_Forge& forge, const Lv2Urids& urids, int64_t time,
                              int32_t axis, float sampleRate) {
    if (!fits(forge, statusEventSize())) {
        return false;
    }
    LV2_Atom_Forge_Frame object;
    lv2_atom_forge_frame_time(&forge, time);
    lv2_atom_forge_object(&forge, &object, 0, urids.status);
    lv2_atom_forge_key(&forge, urids.axis);
    lv2_atom_forge_int(&forge, axis);
    lv2_atom_forge_key(&forge, urids.sampleRate);
    lv2_atom_forge_float(&forge, sampleRate);
    lv2_atom_forge_pop(&forge, &object);
    return true;
}

bool Lv2Messages::writeAxisChoice(LV2_Atom_Forge& forge, const Lv2Urids& urids, int32_t axis) {
    if (!fits(forge, kObjectHead + kPropertyHead + kPaddedScalar)) {
        return false;
    }
    LV2_Atom_Forge_Frame object;
    lv2_atom_forge_object(&forge, &object, 0, urids.axisChoice);
    lv2_atom_forge_key(&forge, urids.axis);
    lv2_atom_forge_int(&forge, axis);
    lv2_atom_forge_pop(&forge, &object);
    return true;
}

bool Lv2Messages::writeStatusRequest(LV2_Atom_Forge& forge, const Lv2Urids& urids) {
    if (!fits(forge, kObjectHead)) {
        return false;
    }
    LV2_Atom_Forge_Frame object;
    lv2_atom_forge_object(&forge, &object, 0, urids.statusRequest);
    lv2_atom_forge_pop(&forge, &object);
    return true;
}

Lv2Messages::Message Lv2Messages::read(const Lv2Urids& urids, const LV2_Atom* atom, uint32_t size) {
    Message message;
    if (!atom || size < sizeof(LV2_Atom) || atom->size > size - sizeof(LV2_Atom) ||
        atom->size < sizeof(LV2_Atom_Object_Body) || !isObject(urids, atom)) {
        return message;
    }
    const auto* object = reinterpret_cast<const LV2_Atom_Object*>(atom);
    const LV2_Atom* axis = nullptr;
    const LV2_Atom* rate = nullptr;
    const LV2_Atom* powers = nullptr;
    // Properties lie within the object's size: the iteration stops at its end.
    LV2_ATOM_OBJECT_FOREACH(object, property) {
        const auto* end = reinterpret_cast<const uint8_t*>(object) + sizeof(LV2_Atom) + atom->size;
        const auto* value = reinterpret_cast<const uint8_t*>(&property->value);
        const ptrdiff_t room = end - value;
        if (room < static_cast<ptrdiff_t>(sizeof(LV2_Atom)) ||
            property->value.size > static_cast<size_t>(room) - sizeof(LV2_Atom)) {
            return message;
        }
        if (property->key == urids.axis) {
            axis = &property->value;
        } else if (property->key == urids.sampleRate) {
            rate = &property->value;
        } else if (property->key == urids.powers) {
            powers = &property->value;
        }
    }
    const auto intValue = [&urids](const LV2_Atom* value, int32_t& out) {
        if (!value || value->type != urids.atomInt || value->size < sizeof(int32_t)) {
            return false;
        }
        out = reinterpret_cast<const LV2_Atom_Int*>(value)->body;
        return true;
    };
    const uint32_t otype = object->body.otype;
    if (otype == urids.frame && powers && powers->type == urids.atomVector &&
        powers->size >= sizeof(LV2_Atom_Vector_Body)) {
        const auto* vector = reinterpret_cast<const LV2_Atom_Vector*>(powers);
        if (vector->body.child_type == urids.atomFloat &&
            vector->body.child_size == sizeof(float) &&
            powers->size - sizeof(LV2_Atom_Vector_Body) == kBins * sizeof(float)) {
            message.kind = Kind::frame;
            message.powers =
                static_cast<const float*>(LV2_ATOM_CONTENTS_CONST(LV2_Atom_Vector, vector));
        }
    } else if (otype == urids.status && intValue(axis, message.axis) && rate &&
               rate->type == urids.atomFloat && rate->size >= sizeof(float)) {
        message.kind = Kind::status;
        message.axis = axisOf(message.axis);
        message.sampleRate = reinterpret_cast<const LV2_Atom_Float*>(rate)->body;
    } else if (otype == urids.axisChoice && intValue(axis, message.axis)) {
        message.kind = Kind::axisChoice;
        message.axis = axisOf(message.axis);
    } else if (otype == urids.statusRequest) {
        message.kind = Kind::statusRequest;
    }
    return message;
}
