#include "kit/import/gltf_source.h"

#include <cstring>
#include <limits>

namespace kvl::import {

namespace {

bool hasBinaryMagic(const std::string& bytes) { return bytes.size() >= 4 && bytes.compare(0, 4, "glTF") == 0; }

int componentsOf(int type) {
    switch (type) {
        case TINYGLTF_TYPE_SCALAR: return 1;
        case TINYGLTF_TYPE_VEC2: return 2;
        case TINYGLTF_TYPE_VEC3: return 3;
        case TINYGLTF_TYPE_VEC4: return 4;
        case TINYGLTF_TYPE_MAT4: return 16;
        default: return 0;
    }
}

int sizeOf(int componentType) {
    switch (componentType) {
        case TINYGLTF_COMPONENT_TYPE_BYTE:
        case TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE: return 1;
        case TINYGLTF_COMPONENT_TYPE_SHORT:
        case TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT: return 2;
        case TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT:
        case TINYGLTF_COMPONENT_TYPE_FLOAT: return 4;
        default: return 0;
    }
}

double readComponent(const unsigned char* p, int componentType, bool normalized) {
    switch (componentType) {
        case TINYGLTF_COMPONENT_TYPE_BYTE: {
            const auto v = static_cast<std::int8_t>(*p);
            return normalized ? std::max(v / 127.0, -1.0) : v;
        }
        case TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE: return normalized ? *p / 255.0 : *p;
        case TINYGLTF_COMPONENT_TYPE_SHORT: {
            std::int16_t v;
            std::memcpy(&v, p, 2);
            return normalized ? std::max(v / 32767.0, -1.0) : v;
        }
        case TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT: {
            std::uint16_t v;
            std::memcpy(&v, p, 2);
            return normalized ? v / 65535.0 : v;
        }
        case TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT: {
            std::uint32_t v;
            std::memcpy(&v, p, 4);
            return v;
        }
        default: {
            float v;
            std::memcpy(&v, p, 4);
            return std::isfinite(v) ? v : 0.0;
        }
    }
}

}  // namespace

bool parseGltf(const std::string& bytes, const std::filesystem::path& baseFolder, tinygltf::Model& model,
               std::string& error) {
    if (bytes.size() > std::numeric_limits<unsigned int>::max()) {
        error = "the file is too large";
        return false;
    }
    tinygltf::TinyGLTF loader;
    loader.SetStoreOriginalJSONForExtrasAndExtensions(true);
    tinygltf::FsCallbacks files{&tinygltf::FileExists, &tinygltf::ExpandFilePath, &tinygltf::ReadWholeFile,
                                &tinygltf::WriteWholeFile, nullptr};
    if (baseFolder.empty()) {
        // From memory alone: nothing outside the given bytes is read.
        files.FileExists = [](const std::string&, void*) { return false; };
        files.ReadWholeFile = [](std::vector<unsigned char>*, std::string* err, const std::string& name, void*) {
            if (err) *err += "external file " + name + " not available\n";
            return false;
        };
    }
    loader.SetFsCallbacks(files);
    std::string warnings;
    bool ok = false;
    try {
        const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
        const auto size = static_cast<unsigned int>(bytes.size());
        ok = hasBinaryMagic(bytes)
                 ? loader.LoadBinaryFromMemory(&model, &error, &warnings, data, size, baseFolder.string())
                 : loader.LoadASCIIFromString(&model, &error, &warnings, bytes.data(), size, baseFolder.string());
    } catch (const std::exception& e) {
        error = e.what();
        ok = false;
    }
    if (!ok) {
        while (!error.empty() && (error.back() == '\n' || error.back() == '\r')) error.pop_back();
        error = "not a readable glTF file" + (error.empty() ? std::string() : ": " + error);
    }
    return ok;
}

bool readAccessor(const tinygltf::Model& model, int index, int components, std::vector<double>& out,
                  std::string& error) {
    out.clear();
    if (index < 0 || static_cast<std::size_t>(index) >= model.accessors.size()) {
        error = "an accessor index is out of range";
        return false;
    }
    const tinygltf::Accessor& accessor = model.accessors[index];
    const int width = componentsOf(accessor.type);
    const int size = sizeOf(accessor.componentType);
    if (width != components || size == 0) {
        error = "accessor " + std::to_string(index) + " has an unexpected type";
        return false;
    }
    const std::size_t count = accessor.count;
    if (count > (std::size_t{1} << 26)) {
        error = "accessor " + std::to_string(index) + " is too large";
        return false;
    }
    out.assign(count * components, 0.0);
    if (accessor.bufferView < 0) {
        return !accessor.sparse.isSparse || (error = "sparse accessors are not supported", false);
    }
    if (accessor.sparse.isSparse) {
        error = "sparse accessors are not supported";
        return false;
    }
    if (static_cast<std::size_t>(accessor.bufferView) >= model.bufferViews.size()) {
        error = "a buffer view index is out of range";
        return false;
    }
    const tinygltf::BufferView& view = model.bufferViews[accessor.bufferView];
    if (view.buffer < 0 || static_cast<std::size_t>(view.buffer) >= model.buffers.size()) {
        error = "a buffer index is out of range";
        return false;
    }
    const std::vector<unsigned char>& buffer = model.buffers[view.buffer].data;
    const std::size_t element = static_cast<std::size_t>(size) * components;
    const std::size_t stride = view.byteStride ? view.byteStride : element;
    if (stride > 256 || accessor.byteOffset > view.byteLength) {
        error = "accessor " + std::to_string(index) + " reaches past its buffer";
        return false;
    }
    const std::size_t start = view.byteOffset + accessor.byteOffset;
    const std::size_t end = count == 0 ? start : start + (count - 1) * stride + element;
    if (stride < element || view.byteOffset > buffer.size() || view.byteLength > buffer.size() - view.byteOffset ||
        end > view.byteOffset + view.byteLength || end < start) {
        error = "accessor " + std::to_string(index) + " reaches past its buffer";
        return false;
    }
    for (std::size_t i = 0; i < count; ++i) {
        const unsigned char* p = buffer.data() + start + i * stride;
        for (int c = 0; c < components; ++c) {
            out[i * components + c] = readComponent(p + c * size, accessor.componentType, accessor.normalized);
        }
    }
    return true;
}

Matrix localMatrix(const tinygltf::Node& node) {
    if (node.matrix.size() == 16) {
        Matrix m;
        for (int i = 0; i < 16; ++i) m.m[i] = std::isfinite(node.matrix[i]) ? node.matrix[i] : 0.0;
        return m;
    }
    auto at = [](const std::vector<double>& v, std::size_t i, double fallback) {
        return i < v.size() && std::isfinite(v[i]) ? v[i] : fallback;
    };
    const bool hasT = node.translation.size() == 3;
    const bool hasR = node.rotation.size() == 4;
    const bool hasS = node.scale.size() == 3;
    return fromTrs({hasT ? at(node.translation, 0, 0) : 0, hasT ? at(node.translation, 1, 0) : 0,
                    hasT ? at(node.translation, 2, 0) : 0},
                   {hasR ? at(node.rotation, 0, 0) : 0, hasR ? at(node.rotation, 1, 0) : 0,
                    hasR ? at(node.rotation, 2, 0) : 0, hasR ? at(node.rotation, 3, 1) : 1},
                   {hasS ? at(node.scale, 0, 1) : 1, hasS ? at(node.scale, 1, 1) : 1, hasS ? at(node.scale, 2, 1) : 1});
}

}  // namespace kvl::import
