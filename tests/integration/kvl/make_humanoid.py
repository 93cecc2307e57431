#!/usr/bin/env python3
"""Writes a small skinned humanoid as .gltf, .glb, VRM 0.x or VRM 1.0 for the import tests.

Every bone carries a box from its joint towards its child; the box's far corners follow the
bone alone, its near corners blend 70/30 with the parent bone. Each vertex's first texture
coordinate names the segment the importer must put it on: u = (code + 0.5) / 64, where code is
the body segment (0-18) or 19 + 16 * hand + hand segment for the hand models.
"""
import argparse, base64, json, struct, zlib

BODY = ["hips", "spine", "chest", "neck", "head", "leftShoulder", "leftUpperArm", "leftLowerArm",
        "leftHand", "rightShoulder", "rightUpperArm", "rightLowerArm", "rightHand", "leftUpperLeg",
        "leftLowerLeg", "leftFoot", "rightUpperLeg", "rightLowerLeg", "rightFoot"]
FINGERS = ["Thumb", "Index", "Middle", "Ring", "Little"]
MIXAMO = {"hips": "Hips", "spine": "Spine", "chest": "Spine1", "neck": "Neck", "head": "Head",
          "Shoulder": "Shoulder", "UpperArm": "Arm", "LowerArm": "ForeArm", "Hand": "Hand",
          "UpperLeg": "UpLeg", "LowerLeg": "Leg", "Foot": "Foot"}


def bone_name(bone, style, vrm1):
    side = "left" if bone.startswith("left") else "right" if bone.startswith("right") else ""
    rest = bone[len(side):]
    rest = rest[0].upper() + rest[1:] if side else rest
    finger = next((f for f in FINGERS if rest.startswith(f)), None)
    number = None
    if finger:
        joint = rest[len(finger):]
        order = ["Metacarpal", "Proximal", "Distal"] if finger == "Thumb" and vrm1 else ["Proximal", "Intermediate", "Distal"]
        number = order.index(joint) + 1
    if style == "mixamo":
        s = side.capitalize()
        if finger:
            return "mixamorig:%sHand%s%d" % (s, "Pinky" if finger == "Little" else finger, number)
        return "mixamorig:" + s + MIXAMO[rest if side else bone]
    if style == "vroid":
        s = {"left": "L", "right": "R", "": "C"}[side]
        if finger:
            return "J_Bip_%s_%s%d" % (s, finger, number)
        return "J_Bip_%s_%s" % (s, rest[0].upper() + rest[1:])
    return "bone_%s" % bone  # names nothing can map


def skeleton(fingers, chest, shoulders, vrm1):
    """(bone, parent bone, joint position, far end of its box) in T-pose, facing +z, left at +x."""
    bones = [("hips", None, (0, 1.0, 0), (0, 0.9, 0)), ("spine", "hips", (0, 1.1, 0), (0, 1.3, 0))]
    top = "spine"
    if chest:
        bones.append(("chest", "spine", (0, 1.3, 0), (0, 1.5, 0)))
        top = "chest"
    bones += [("neck", top, (0, 1.5, 0), (0, 1.6, 0)), ("head", "neck", (0, 1.6, 0), (0, 1.8, 0))]
    for side, sx in (("left", 1), ("right", -1)):
        arm = top
        if shoulders:
            bones.append((side + "Shoulder", top, (0.05 * sx, 1.45, 0), (0.18 * sx, 1.45, 0)))
            arm = side + "Shoulder"
        bones += [(side + "UpperArm", arm, (0.18 * sx, 1.45, 0), (0.45 * sx, 1.45, 0)),
                  (side + "LowerArm", side + "UpperArm", (0.45 * sx, 1.45, 0), (0.7 * sx, 1.45, 0)),
                  (side + "Hand", side + "LowerArm", (0.7 * sx, 1.45, 0), (0.78 * sx, 1.45, 0))]
        if fingers:
            for f, finger in enumerate(FINGERS):
                z = [0.04, 0.03, 0.01, -0.01, -0.03][f]
                x = 0.72 if f == 0 else 0.79
                joints = ["Metacarpal", "Proximal", "Distal"] if f == 0 and vrm1 else ["Proximal", "Intermediate", "Distal"]
                parent = side + "Hand"
                for k, joint in enumerate(joints):
                    name = side + finger + joint
                    start, end = x + 0.025 * k, x + 0.025 * (k + 1)
                    bones.append((name, parent, (start * sx, 1.45, z), (end * sx, 1.45, z)))
                    parent = name
        bones += [(side + "UpperLeg", "hips", (0.1 * sx, 0.95, 0), (0.1 * sx, 0.5, 0)),
                  (side + "LowerLeg", side + "UpperLeg", (0.1 * sx, 0.5, 0), (0.1 * sx, 0.08, 0)),
                  (side + "Foot", side + "LowerLeg", (0.1 * sx, 0.08, 0), (0.1 * sx, 0.0, 0.15))]
    return bones


def code_of(bone, fingers):
    if bone in BODY:
        segment = BODY.index(bone)
        if fingers and segment in (8, 12):
            return 19 + 16 * (segment == 12)
        return segment
    hand = 0 if bone.startswith("left") else 1
    rest = bone[4:] if hand == 0 else bone[5:]
    finger = next(f for f in range(5) if rest.startswith(FINGERS[f]))
    joint = rest[len(FINGERS[finger]):]
    vrm1_thumb = finger == 0 and any(b.endswith("ThumbMetacarpal") for b in bone_list_cache)
    k = (["Metacarpal", "Proximal", "Distal"] if vrm1_thumb else ["Proximal", "Intermediate", "Distal"]).index(joint)
    return 19 + 16 * hand + 1 + 3 * finger + k


bone_list_cache = set()


def box(a, b, r):
    """Eight corners: four around a, four around b."""
    axis = [b[i] - a[i] for i in range(3)]
    side = (0, 0, 1) if abs(axis[2]) < max(abs(axis[0]), abs(axis[1])) else (1, 0, 0)
    up = [axis[1] * side[2] - axis[2] * side[1], axis[2] * side[0] - axis[0] * side[2], axis[0] * side[1] - axis[1] * side[0]]
    n = sum(c * c for c in up) ** 0.5
    up = [c / n * r for c in up]
    side = [c * r for c in side]
    corners = []
    for end in (a, b):
        for su, ss in ((-1, -1), (1, -1), (1, 1), (-1, 1)):
            corners.append(tuple(end[i] + su * up[i] + ss * side[i] for i in range(3)))
    return corners


BOX_FACES = [(0, 2, 1), (0, 3, 2), (4, 5, 6), (4, 6, 7), (0, 1, 5), (0, 5, 4), (1, 2, 6), (1, 6, 5),
             (2, 3, 7), (2, 7, 6), (3, 0, 4), (3, 4, 7)]


def png(width, height, rgba):
    raw = b"".join(b"\0" + bytes(rgba) * width for _ in range(height))
    def chunk(tag, data):
        return struct.pack(">I", len(data)) + tag + data + struct.pack(">I", zlib.crc32(tag + data) & 0xFFFFFFFF)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))


def build(args):
    vrm1 = args.format == "vrm1"
    bones = skeleton(args.fingers, not args.no_chest, not args.no_shoulders, vrm1)
    bone_list_cache.clear()
    bone_list_cache.update(b[0] for b in bones)
    flip = -1 if args.format == "vrm0" else 1  # VRM 0.x avatars face -z
    index = {b[0]: i for i, b in enumerate(bones)}
    world = {b[0]: (b[2][0] * flip, b[2][1], b[2][2] * flip) for b in bones}
    nodes = []
    # Under an "Armature" node turned a quarter about x and scaled by 1/100, as exporters from
    # z-up tools write it, the bones' own translations are in the armature's frame.
    turn = [[1, 0, 0], [0, 0, -1], [0, 1, 0]] if args.armature else [[1, 0, 0], [0, 1, 0], [0, 0, 1]]
    scale = 0.01 if args.armature else 1.0
    def local(v):  # world offset -> armature frame: transpose of the turn, divided by the scale
        return [sum(turn[r][c] * v[r] for r in range(3)) / scale for c in range(3)]
    style = {"gltf": "mixamo", "glb": "vroid"}.get(args.format, "vroid")
    if args.names == "unknown":
        style = "unknown"
    for bone, parent, _, _ in bones:
        origin = world[parent] if parent else (0, 0, 0)
        node = {"name": bone_name(bone, style, vrm1),
                "translation": local([world[bone][i] - origin[i] for i in range(3)])}
        children = [index[b[0]] for b in bones if b[1] == bone]
        if children:
            node["children"] = children
        nodes.append(node)
    positions, uvs, joints, weights, indices = [], [], [], [], [[], []]
    for bone, parent, a, b in bones:
        first = len(positions) // 3
        corners = box(a, b, 0.02)
        for c, p in enumerate(corners):
            positions += [p[0] * flip, p[1], p[2] * flip]
            uvs += [(code_of(bone, args.fingers) + 0.5) / 64.0, 0.5]
            near = c < 4 and parent is not None
            joints += [index[bone], index[parent] if near else 0, 0, 0]
            weights += [0.7, 0.3, 0, 0] if near else [1, 0, 0, 0]
        material = 1 if "Leg" in bone or "Foot" in bone else 0
        for f in BOX_FACES:
            indices[material] += [first + k for k in f]
    count = len(positions) // 3
    blobs = [struct.pack("<%df" % len(positions), *positions), struct.pack("<%df" % len(uvs), *uvs),
             struct.pack("<%dH" % len(joints), *joints), struct.pack("<%df" % len(weights), *weights),
             struct.pack("<%dH" % len(indices[0]), *indices[0]), struct.pack("<%dH" % len(indices[1]), *indices[1])]
    ibm = []
    for bone, _, _, _ in bones:
        w = world[bone]
        back = local([-w[0], -w[1], -w[2]])
        for c in range(3):  # columns of the transposed turn over the scale
            ibm += [turn[c][0] / scale, turn[c][1] / scale, turn[c][2] / scale, 0]
        ibm += back + [1]
    blobs.append(struct.pack("<%df" % len(ibm), *ibm))
    image = png(4, 4, (200, 120, 80, 255)) if args.textured else None
    if image:
        blobs.append(image)
    buffer, views = b"", []
    for blob in blobs:
        views.append({"buffer": 0, "byteOffset": len(buffer), "byteLength": len(blob)})
        buffer += blob + b"\0" * (-len(blob) % 4)
    lo = [min(positions[i::3]) for i in range(3)]
    hi = [max(positions[i::3]) for i in range(3)]
    accessors = [{"bufferView": 0, "componentType": 5126, "count": count, "type": "VEC3", "min": lo, "max": hi},
                 {"bufferView": 1, "componentType": 5126, "count": count, "type": "VEC2"},
                 {"bufferView": 2, "componentType": 5123, "count": count, "type": "VEC4"},
                 {"bufferView": 3, "componentType": 5126, "count": count, "type": "VEC4"},
                 {"bufferView": 4, "componentType": 5123, "count": len(indices[0]), "type": "SCALAR"},
                 {"bufferView": 5, "componentType": 5123, "count": len(indices[1]), "type": "SCALAR"},
                 {"bufferView": 6, "componentType": 5126, "count": len(bones), "type": "MAT4"}]
    attributes = {"POSITION": 0, "TEXCOORD_0": 1, "JOINTS_0": 2, "WEIGHTS_0": 3}
    mesh_node = {"name": "Body", "mesh": 0}
    if not args.no_skin:
        mesh_node["skin"] = 0
    nodes.append(mesh_node)
    roots = [0, len(nodes) - 1]
    if args.armature:
        nodes.append({"name": "Armature", "children": [0], "rotation": [0.7071068, 0, 0, 0.7071068],
                      "scale": [scale] * 3})
        roots = [len(nodes) - 1, len(nodes) - 2]
    doc = {"asset": {"version": "2.0", "generator": "make_humanoid.py"},
           "scene": 0, "scenes": [{"nodes": roots}], "nodes": nodes,
           "meshes": [{"primitives": [{"attributes": attributes, "indices": 4, "material": 0},
                                      {"attributes": attributes, "indices": 5, "material": 1}]}],
           "materials": [{"name": "Body", "pbrMetallicRoughness": {"baseColorFactor": [1, 1, 1, 1]}},
                         {"name": "Legs", "pbrMetallicRoughness": {"baseColorFactor": [0.2, 0.3, 0.8, 1]}}],
           "accessors": accessors, "bufferViews": views}
    if not args.no_skin:
        doc["skins"] = [{"joints": list(range(len(bones))), "inverseBindMatrices": 6, "skeleton": 0}]
    if image:
        doc["bufferViews"][-1]["byteLength"] = len(image)
        doc["images"] = [{"bufferView": len(views) - 1, "mimeType": "image/png"}]
        doc["textures"] = [{"source": 0}]
        doc["materials"][0]["pbrMetallicRoughness"]["baseColorTexture"] = {"index": 0}
    human = {b: index[b] for b in index if args.names != "unknown"}
    if args.format == "vrm0":
        doc["extensionsUsed"] = ["VRM"]
        doc["extensions"] = {"VRM": {"specVersion": "0.0", "humanoid": {
            "humanBones": [{"bone": b, "node": n} for b, n in human.items()]}}}
    elif vrm1:
        doc["extensionsUsed"] = ["VRMC_vrm"]
        doc["extensions"] = {"VRMC_vrm": {"specVersion": "1.0", "humanoid": {
            "humanBones": {b: {"node": n} for b, n in human.items()}}}}
    return doc, buffer


def write(path, doc, buffer, fmt):
    if fmt == "gltf":
        doc["buffers"] = [{"byteLength": len(buffer),
                           "uri": "data:application/octet-stream;base64," + base64.b64encode(buffer).decode()}]
        with open(path, "w") as out:
            json.dump(doc, out)
        return
    doc["buffers"] = [{"byteLength": len(buffer)}]
    text = json.dumps(doc).encode()
    text += b" " * (-len(text) % 4)
    body = struct.pack("<II", len(text), 0x4E4F534A) + text + struct.pack("<II", len(buffer), 0x004E4942) + buffer
    with open(path, "wb") as out:
        out.write(struct.pack("<III", 0x46546C67, 2, 12 + len(body)) + body)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("out")
    parser.add_argument("--format", choices=["gltf", "glb", "vrm0", "vrm1"], default="glb")
    parser.add_argument("--fingers", action="store_true")
    parser.add_argument("--textured", action="store_true")
    parser.add_argument("--no-chest", action="store_true")
    parser.add_argument("--no-shoulders", action="store_true")
    parser.add_argument("--no-skin", action="store_true")
    parser.add_argument("--armature", action="store_true")
    parser.add_argument("--names", choices=["rig", "unknown"], default="rig")
    args = parser.parse_args()
    doc, buffer = build(args)
    write(args.out, doc, buffer, args.format)


if __name__ == "__main__":
    main()
