#include "core/parameterData.h"

#include <cstdlib>
#include <cstring>

#include "core/unitTable.h"

namespace {

bool holdsData(int32_t kind) {
    return kind == kStringKind || kind == kChunkKind;
}

} // namespace

bool allocateParameterData(parameterRecord& parameter) {
    if (!holdsData(parameter.kind) || parameter.dataLength <= 0) {
        return true;
    }
    parameter.data =
        static_cast<uint8_t*>(std::calloc(static_cast<size_t>(parameter.dataLength), 1));
    return parameter.data != nullptr;
}

void releaseParameterData(parameterRecord& parameter) {
    if (holdsData(parameter.kind)) {
        std::free(parameter.data);
        parameter.data = nullptr;
    }
}

int32_t copyParameterData(const parameterRecord& parameter, uint8_t* destination) {
    if (parameter.dataLength <= 0 || parameter.data == nullptr || destination == nullptr) {
        return 0;
    }
    std::memcpy(destination, parameter.data, static_cast<size_t>(parameter.dataLength));
    return parameter.dataLength;
}

bool replaceParameterData(parameterRecord& parameter, const uint8_t* source) {
    if (parameter.dataLength < 0) {
        return false;
    }
    const size_t length = static_cast<size_t>(parameter.dataLength);
    if (parameter.kind == kStringKind) {
        if (length == 0 || parameter.data == nullptr) {
            return false;
        }
        size_t copied = 0;
        if (source != nullptr) {
            while (copied < length && source[copied] != 0) {
                parameter.data[copied] = source[copied];
                ++copied;
            }
        }
        std::memset(parameter.data + copied, 0, length - copied);
        return true;
    }
    if (parameter.kind == kChunkKind) {
        if (length == 0 || parameter.data == nullptr || source == nullptr) {
            return false;
        }
        std::memcpy(parameter.data, source, length);
        return true;
    }
    return true;
}
