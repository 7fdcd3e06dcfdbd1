// SPDX-License-Identifier: GPL-3.0-or-later
#include "Minimizer.h"

#include "core/Errors.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace taonscope {

namespace {

// Curvature pairs L-BFGS keeps.
constexpr int Memory = 10;
// Shortened trials of one step before the memory is dropped and the step starts again downhill.
constexpr int MostTrials = 8;

Extended Dot(const Coordinates& a, const Coordinates& b) {
    Extended sum = 0;
    for (std::size_t n = 0; n < a.size(); ++n) sum += a[n] * b[n];
    return sum;
}

// x + alpha p
void Advance(const Coordinates& x, Extended alpha, const Coordinates& p, Coordinates& out) {
    out.resize(x.size());
    for (std::size_t n = 0; n < x.size(); ++n) out[n] = x[n] + alpha * p[n];
}

// The curvature pairs (s, y) of the last steps, in double: they shape the direction of the next step
// alone, whose length and acceptance are judged in extended arithmetic, and double arithmetic halves
// what an iteration costs besides the law.
class CurvatureMemory {
public:
    explicit CurvatureMemory(std::size_t size)
        : s_(Memory, std::vector<double>(size)), y_(Memory, std::vector<double>(size)), rho_(Memory),
          alpha_(Memory), q_(size) {}

    bool Empty() const { return count_ == 0; }
    void Clear() { count_ = 0; }

    // Keeps the step from x to trial and the change of the gradient along it when the landscape curves
    // up there; false when it does not.
    bool Add(const Coordinates& x, const Coordinates& trial, const Coordinates& g,
             const Coordinates& trialG) {
        const int at = (newest_ + 1) % Memory;
        std::vector<double>&s = s_[at], &y = y_[at];
        double sy = 0;
        for (std::size_t n = 0; n < x.size(); ++n) {
            s[n] = static_cast<double>(trial[n] - x[n]), y[n] = static_cast<double>(trialG[n] - g[n]);
            sy += s[n] * y[n];
        }
        if (!(sy > 0)) return false;
        rho_[at] = 1 / sy;
        newest_ = at;
        count_ = std::min(count_ + 1, Memory);
        return true;
    }

    // -H g by the two-loop recursion over the kept pairs, H0 = gamma I from the newest.
    void Direction(const Coordinates& g, Coordinates& p) {
        const std::size_t size = g.size();
        for (std::size_t n = 0; n < size; ++n) q_[n] = static_cast<double>(g[n]);
        for (int k = 0; k < count_; ++k) { // newest first
            const int at = (newest_ - k + Memory) % Memory;
            alpha_[at] = rho_[at] * Dot(s_[at], q_);
            for (std::size_t n = 0; n < size; ++n) q_[n] -= alpha_[at] * y_[at][n];
        }
        if (count_ > 0) {
            const double gamma = 1 / (rho_[newest_] * Dot(y_[newest_], y_[newest_]));
            for (double& v : q_) v *= gamma;
        }
        for (int k = count_ - 1; k >= 0; --k) { // oldest first
            const int at = (newest_ - k + Memory) % Memory;
            const double beta = rho_[at] * Dot(y_[at], q_);
            for (std::size_t n = 0; n < size; ++n) q_[n] += (alpha_[at] - beta) * s_[at][n];
        }
        p.resize(size);
        for (std::size_t n = 0; n < size; ++n) p[n] = -q_[n];
    }

private:
    static double Dot(const std::vector<double>& a, const std::vector<double>& b) {
        double sum = 0;
        for (std::size_t n = 0; n < a.size(); ++n) sum += a[n] * b[n];
        return sum;
    }

    std::vector<std::vector<double>> s_, y_;
    std::vector<double> rho_, alpha_, q_;
    int newest_ = -1, count_ = 0;
};

void Lbfgs(PairPotential& potential, Coordinates& x, const MinimizeOptions& options, Extended maxStep,
           MinimizeResult& result) {
    Coordinates g, p, trial, trialG;
    potential.Gradient(x, g);
    ++result.Evaluations;
    CurvatureMemory pairs(x.size());
    // How far the farthest particle goes on a step straight downhill: the gradient's own length says
    // nothing of how far the valley is, so it doubles after each such step kept and follows the
    // shortened ones.
    Extended reach = maxStep;
    while ((result.LargestGradient = LargestPerParticle(g)) >= options.Tolerance &&
           result.Iterations < options.MaxIterations) {
        pairs.Direction(g, p);
        Extended slope = Dot(g, p);
        Extended alpha = 1;
        const bool downhill = pairs.Empty() || !(slope < 0); // no curvature yet, or the landscape bends down
        if (downhill) {
            pairs.Clear();
            p = g;
            for (Extended& v : p) v = -v;
            slope = Dot(g, p);
            alpha = reach / LargestPerParticle(p);
        }
        alpha = std::min(alpha, maxStep / LargestPerParticle(p));
        bool accepted = false;
        for (int trials = 0; trials < MostTrials; ++trials) {
            Advance(x, alpha, p, trial);
            potential.Gradient(trial, trialG);
            ++result.Evaluations;
            // The trapezoid rule's energy change along the step: not above zero keeps the step.
            const Extended trialSlope = Dot(trialG, p);
            if (trialSlope + slope <= 0) {
                accepted = true;
                break;
            }
            // The zero of the slope's secant, kept well inside the step.
            alpha *= std::clamp<Extended>(slope / (slope - trialSlope), 0.1L, 0.5L);
        }
        ++result.Iterations;
        const Extended farthest = alpha * LargestPerParticle(p);
        if (!accepted) {
            pairs.Clear();
            reach = farthest;
            continue;
        }
        if (downhill) reach = std::min(maxStep, 2 * farthest);
        // A step along which the landscape bends down: the curvature kept belongs elsewhere, and would
        // hold the steps to its own small scale on a plateau.
        if (!pairs.Add(x, trial, g, trialG)) pairs.Clear();
        x.swap(trial);
        g.swap(trialG);
    }
}

// FIRE (Bitzek, Koskinen, Gahler, Moseler and Gumbsch 2006) with its published parameters, unit masses
// and the program's own step: v += a dt, then x += v dt.
void Fire(PairPotential& potential, Coordinates& x, const MinimizeOptions& options, Extended maxStep,
          Extended nearest, MinimizeResult& result) {
    constexpr int StepsBeforeFaster = 5;
    constexpr Extended Faster = 1.1L, Slower = 0.5L, MixingStart = 0.1L, MixingDecay = 0.99L;
    const Extended dtStart = 0.02L * nearest, dtMost = 10 * dtStart;
    Coordinates g, trial, v(x.size(), 0);
    Extended dt = dtStart, mixing = MixingStart;
    int downhillSteps = 0;
    potential.Gradient(x, g);
    ++result.Evaluations;
    while ((result.LargestGradient = LargestPerParticle(g)) >= options.Tolerance &&
           result.Iterations < options.MaxIterations) {
        const Extended power = -Dot(g, v);
        if (power > 0) {
            const Extended speed = std::sqrt(Dot(v, v)), force = std::sqrt(Dot(g, g));
            for (std::size_t n = 0; n < v.size(); ++n)
                v[n] = (1 - mixing) * v[n] - mixing * speed * g[n] / force;
            if (++downhillSteps > StepsBeforeFaster)
                dt = std::min(dt * Faster, dtMost), mixing *= MixingDecay;
        } else {
            std::fill(v.begin(), v.end(), 0);
            dt *= Slower, mixing = MixingStart, downhillSteps = 0;
        }
        for (std::size_t n = 0; n < v.size(); ++n) v[n] -= g[n] * dt;
        const Extended farthest = LargestPerParticle(v) * dt;
        Advance(x, dt * (farthest > maxStep ? maxStep / farthest : 1), v, trial);
        ++result.Iterations;
        potential.Gradient(trial, g);
        ++result.Evaluations;
        x.swap(trial);
    }
}

} // namespace

Extended LargestPerParticle(const Coordinates& v) {
    Extended largest = 0;
    for (std::size_t n = 0; n + 2 < v.size(); n += 3) {
        const Extended length = std::sqrt(v[n] * v[n] + v[n + 1] * v[n + 1] + v[n + 2] * v[n + 2]);
        if (std::isnan(length) || std::isgreater(length, largest)) largest = length;
    }
    return largest;
}

std::optional<MinimizeMethod> MinimizeMethodNamed(std::string_view name) {
    if (name == "lbfgs") return MinimizeMethod::Lbfgs;
    if (name == "fire") return MinimizeMethod::Fire;
    return std::nullopt;
}

MinimizeResult Minimize(PairPotential& potential, Coordinates& x, const MinimizeOptions& options) {
    const PairScales scales = potential.Scales();
    const Extended maxStep = options.MaxStep > 0 ? options.MaxStep : scales.Width / 4;
    MinimizeResult result;
    try {
        if (options.Method == MinimizeMethod::Fire)
            Fire(potential, x, options, maxStep, scales.Nearest, result);
        else
            Lbfgs(potential, x, options, maxStep, result);
    } catch (const TaonError& error) {
        result.Fault = error.what();
    }
    result.Converged = result.Fault.empty() && result.LargestGradient < options.Tolerance;
    return result;
}

} // namespace taonscope
