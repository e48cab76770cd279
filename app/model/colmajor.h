#pragma once

#include <cstddef>
#include <vector>

// A 1-based vector: element l lives at offset l-1, so data() can go to the engine as a per-layer
// array (NN, FUNC).
template<typename T>
class Array1
{
public:
    // Keeps the first min(old, n) elements; new ones are zero.
    void resize(int n) { m_data.resize(n > 0 ? static_cast<std::size_t>(n) : 0, T{}); }
    int size() const { return static_cast<int>(m_data.size()); }
    T &operator()(int i) { return m_data[static_cast<std::size_t>(i - 1)]; }
    T operator()(int i) const { return m_data[static_cast<std::size_t>(i - 1)]; }
    T *data() { return m_data.data(); }
    const T *data() const { return m_data.data(); }

private:
    std::vector<T> m_data;
};

// Arrays in the engine's layout: 1-based, column-major (the first index varies fastest). The
// engine receives data() and addresses every element from the extents passed beside it.
class Array2
{
public:
    // Discards the contents: every element becomes zero.
    void allocate(int rows, int cols)
    {
        m_rows = rows > 0 ? rows : 0;
        m_cols = cols > 0 ? cols : 0;
        m_data.assign(static_cast<std::size_t>(m_rows) * static_cast<std::size_t>(m_cols), 0.0f);
    }

    void clear() { allocate(0, 0); }
    int rows() const { return m_rows; }
    int cols() const { return m_cols; }
    bool empty() const { return m_data.empty(); }
    float &operator()(int r, int c) { return m_data[index(r, c)]; }
    float operator()(int r, int c) const { return m_data[index(r, c)]; }
    float *data() { return m_data.data(); }
    const float *data() const { return m_data.data(); }
    const std::vector<float> &values() const { return m_data; }

private:
    std::size_t index(int r, int c) const
    {
        return static_cast<std::size_t>(r - 1)
                + static_cast<std::size_t>(m_rows) * static_cast<std::size_t>(c - 1);
    }

    int m_rows = 0;
    int m_cols = 0;
    std::vector<float> m_data;
};

class Array3
{
public:
    // Discards the contents: every element becomes zero.
    void allocate(int d1, int d2, int d3)
    {
        m_d1 = d1 > 0 ? d1 : 0;
        m_d2 = d2 > 0 ? d2 : 0;
        m_d3 = d3 > 0 ? d3 : 0;
        m_data.assign(static_cast<std::size_t>(m_d1) * static_cast<std::size_t>(m_d2)
                              * static_cast<std::size_t>(m_d3),
                      0.0f);
    }

    int dim1() const { return m_d1; }
    int dim2() const { return m_d2; }
    int dim3() const { return m_d3; }
    float &operator()(int l, int i, int j) { return m_data[index(l, i, j)]; }
    float operator()(int l, int i, int j) const { return m_data[index(l, i, j)]; }
    float *data() { return m_data.data(); }
    const float *data() const { return m_data.data(); }

private:
    std::size_t index(int l, int i, int j) const
    {
        return static_cast<std::size_t>(l - 1)
                + static_cast<std::size_t>(m_d1)
                * (static_cast<std::size_t>(i - 1)
                   + static_cast<std::size_t>(m_d2) * static_cast<std::size_t>(j - 1));
    }

    int m_d1 = 0;
    int m_d2 = 0;
    int m_d3 = 0;
    std::vector<float> m_data;
};
