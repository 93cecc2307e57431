#include "render/matrix4.h"

#include <cmath>

namespace kavelune {

Matrix4 operator*(const Matrix4& a, const Matrix4& b) {
    Matrix4 product;
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k) {
                sum += a.at(row, k) * b.at(k, column);
            }
            product.at(row, column) = sum;
        }
    }
    return product;
}

Vec4f operator*(const Matrix4& a, const Vec4f& v) {
    const float in[4] = {v.x, v.y, v.z, v.w};
    float out[4];
    for (int row = 0; row < 4; ++row) {
        out[row] = a.at(row, 0) * in[0] + a.at(row, 1) * in[1] + a.at(row, 2) * in[2] +
                   a.at(row, 3) * in[3];
    }
    return {out[0], out[1], out[2], out[3]};
}

bool invert(const Matrix4& matrix, Matrix4& inverse) {
    // Gauss-Jordan elimination with partial pivoting, in double for headroom: model-view
    // matrices here carry translations of tens of thousands of units.
    double work[4][8];
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            work[row][column] = matrix.at(row, column);
            work[row][column + 4] = row == column ? 1.0 : 0.0;
        }
    }
    for (int column = 0; column < 4; ++column) {
        int pivot = column;
        for (int row = column + 1; row < 4; ++row) {
            if (std::fabs(work[row][column]) > std::fabs(work[pivot][column])) {
                pivot = row;
            }
        }
        if (std::fabs(work[pivot][column]) < 1e-12) {
            return false;
        }
        if (pivot != column) {
            for (int k = 0; k < 8; ++k) {
                std::swap(work[pivot][k], work[column][k]);
            }
        }
        const double scale = 1.0 / work[column][column];
        for (int k = 0; k < 8; ++k) {
            work[column][k] *= scale;
        }
        for (int row = 0; row < 4; ++row) {
            if (row == column) {
                continue;
            }
            const double factor = work[row][column];
            if (factor != 0.0) {
                for (int k = 0; k < 8; ++k) {
                    work[row][k] -= factor * work[column][k];
                }
            }
        }
    }
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            inverse.at(row, column) = static_cast<float>(work[row][column + 4]);
        }
    }
    return true;
}

}  // namespace kavelune
