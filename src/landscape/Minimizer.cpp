// SPDX-License-Identifier: GPL-3.0-or-later
#include "Minimizer.h"

#include "core/Errors.h"

#include <algorithm>
#include <cmath>
#include <deque>

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

struct CurvaturePair {
    Coordinates s, y;
    Extended rho;
};

// -H g by the two-loop recursion over the kept pairs, H0 = gamma I from the newest.
void Direction(const std::deque<CurvaturePair>& pairs, const Coordinates& g, Coordinates& p) {
    p = g;
    std::vector<Extended> alpha(pairs.size());
    for (std::size_t k = pairs.size(); k-- > 0;) {
        alpha[k] = pairs[k].rho * Dot(pairs[k].s, p);
        for (std::size_t n = 0; n < p.size(); ++n) p[n] -= alpha[k] * pairs[k].y[n];
    }
    if (!pairs.empty()) {
        const CurvaturePair& last = pairs.back();
        const Extended gamma = Dot(last.s, last.y) / Dot(last.y, last.y);
        for (Extended& v : p) v *= gamma;
    }
    for (std::size_t k = 0; k < pairs.size(); ++k) {
        const Extended beta = pairs[k].rho * Dot(pairs[k].y, p);
        for (std::size_t n = 0; n < p.size(); ++n) p[n] += (alpha[k] - beta) * pairs[k].s[n];
    }
    for (Extended& v : p) v = -v;
}

void Lbfgs(PairPotential& potential, Coordinates& x, const MinimizeOptions& options, Extended maxStep,
           MinimizeResult& result) {
    Coordinates g, p, trial, trialG;
    potential.Gradient(x, g);
    ++result.Evaluations;
    std::deque<CurvaturePair> pairs;
    // How far the farthest particle goes on a step straight downhill: the gradient's own length says
    // nothing of how far the valley is, so it doubles after each such step kept and follows the
    // shortened ones.
    Extended reach = maxStep;
    while ((result.LargestGradient = LargestPerParticle(g)) >= options.Tolerance &&
           result.Iterations < options.MaxIterations) {
        Direction(pairs, g, p);
        Extended slope = Dot(g, p);
        Extended alpha = 1;
        const bool downhill = pairs.empty() || !(slope < 0); // no curvature yet, or the landscape bends down
        if (downhill) {
            pairs.clear();
            p = g;
            for (Extended& v : p) v = -v;
            slope = Dot(g, p);
            alpha = reach / LargestPerParticle(p);
        }
        alpha = std::min(alpha, maxStep / LargestPerParticle(p));
        bool accepted = false;
        for (int trials = 0; trials < MostTrials && !accepted; ++trials) {
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
            pairs.clear();
            reach = farthest;
            continue;
        }
        if (downhill) reach = std::min(maxStep, 2 * farthest);
        CurvaturePair pair{Coordinates(x.size()), Coordinates(x.size()), 0};
        for (std::size_t n = 0; n < x.size(); ++n) pair.s[n] = trial[n] - x[n], pair.y[n] = trialG[n] - g[n];
        const Extended sy = Dot(pair.s, pair.y);
        if (sy > 0) {
            pair.rho = 1 / sy;
            pairs.push_back(std::move(pair));
            if (static_cast<int>(pairs.size()) > Memory) pairs.pop_front();
        } else {
            // The landscape bends down along the step: the curvature kept belongs elsewhere, and would
            // hold the steps to its own small scale on a plateau.
            pairs.clear();
        }
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
