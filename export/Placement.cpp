#include "export/Placement.h"

#include <cmath>
#include <glm/glm.hpp>
#include <glm/gtc/quaternion.hpp>
#include <glm/gtc/type_ptr.hpp>
#include <vector>

Placed Place(tinygltf::Model& gltf, tinygltf::Node node, const std::array<float, 16>& m) {
    auto add = [&gltf](tinygltf::Node&& n) {
        gltf.nodes.push_back(std::move(n));
        return static_cast<int>(gltf.nodes.size() - 1);
    };
    for (float f : m) {
        if (!std::isfinite(f)) {
            node.scale = {0, 0, 0};
            const int index = add(std::move(node));
            return {index, index};
        }
    }
    const glm::dmat4 matrix(glm::make_mat4(m.data()));
    const glm::dmat3 linear(matrix);
    const double det = glm::determinant(linear);
    bool trs = det != 0;
    for (int i = 0; i < 3 && trs; ++i) {
        const glm::dvec3 &a = linear[i], &b = linear[(i + 1) % 3];
        trs = std::abs(glm::dot(a, b)) <= 1e-5 * glm::length(a) * glm::length(b);
    }
    if (trs) {
        // Written as translation, rotation and scale rather than as the
        // matrix: a validator recomposes a matrix in single precision, which
        // a node scaled by 1e38 overflows. The columns are R's times S.
        if (matrix != glm::dmat4(1)) {
            glm::dmat3 columns = linear;
            glm::dvec3 scale;
            for (int i = 0; i < 3; ++i) {
                scale[i] = glm::length(columns[i]) * (i == 0 && det < 0 ? -1 : 1);
                columns[i] /= scale[i];
            }
            const glm::dquat rotation = glm::normalize(glm::quat_cast(columns));
            if (m[12] != 0 || m[13] != 0 || m[14] != 0)
                node.translation = {m[12], m[13], m[14]};
            if (rotation != glm::dquat(1, 0, 0, 0))
                node.rotation = {rotation.x, rotation.y, rotation.z, rotation.w};
            if (scale != glm::dvec3(1))
                node.scale = {scale.x, scale.y, scale.z};
        }
        const int index = add(std::move(node));
        return {index, index};
    }
    // The linear part is S R: row i of it is row i of R times scale i.
    glm::dmat3 rows = glm::transpose(linear);
    glm::dvec3 scale;
    std::vector<int> zero;
    for (int i = 0; i < 3; ++i) {
        scale[i] = glm::length(rows[i]) * (i == 0 && det < 0 ? -1 : 1);
        if (scale[i] == 0)
            zero.push_back(i);
        else
            rows[i] /= scale[i];
    }
    // A zero scale leaves its row of R free: any that keeps R a rotation.
    if (zero.size() == 3) {
        rows = glm::dmat3(1);
    } else if (zero.size() == 2) {
        const int kept = 3 - zero[0] - zero[1];
        const glm::dvec3 axis =
            std::abs(rows[kept].x) < 0.9 ? glm::dvec3(1, 0, 0) : glm::dvec3(0, 1, 0);
        const glm::dvec3 other = glm::normalize(glm::cross(rows[kept], axis));
        rows[(kept + 1) % 3] = other;
        rows[(kept + 2) % 3] = glm::cross(rows[kept], other);
    } else if (zero.size() == 1) {
        const int i = zero[0];
        rows[i] = glm::cross(rows[(i + 1) % 3], rows[(i + 2) % 3]);
    }
    node.translation = {m[12], m[13], m[14]};
    node.scale = {scale.x, scale.y, scale.z};
    const int outer = add(std::move(node));
    const glm::dquat rotation = glm::normalize(glm::quat_cast(glm::transpose(rows)));
    tinygltf::Node turn;
    turn.rotation = {rotation.x, rotation.y, rotation.z, rotation.w};
    const int inner = add(std::move(turn));
    gltf.nodes[static_cast<size_t>(outer)].children.push_back(inner);
    return {outer, inner};
}
