// The registry: the one list of circuits, in circuit order. Each line names the function that
// returns a circuit's CircuitDef, defined in the circuit's own file (see README.md); titles,
// categories, sheets, validation, the solve dispatch and kCircuitCount all follow from this table.
#pragma once

#include "circuits/circuit_def.h"

#include <iterator>

const CircuitDef& c01CommonCathode();
const CircuitDef& c02SelfBiasCathodyne();
const CircuitDef& c03CathodeFollower();
const CircuitDef& c04CommonCathodeFollower();
const CircuitDef& c05FixedBiasCathodyne();
const CircuitDef& c06TrueCascode();
const CircuitDef& c07DifferentialCathodeBias();
const CircuitDef& c08CascodeSrpp();
const CircuitDef& c09DirectCoupled();
const CircuitDef& c10DifferentialCurrentSource();
const CircuitDef& c11BalancedMixer();
const CircuitDef& c12AsymmetricalMixer();
const CircuitDef& c13ConstantCurrentBias();
const CircuitDef& c14LevelShifting();
const CircuitDef& c15LongTailedPair();
const CircuitDef& c16TwoTriodeRegulator();
const CircuitDef& c17SeriesRegulator();
const CircuitDef& c18ShuntRegulator();
const CircuitDef& c19ThreeStageFiltered();
const CircuitDef& c20TwoStageFiltered();
const CircuitDef& c21DoubleCascode();
const CircuitDef& c22FixedBiasCascodeSrpp();
const CircuitDef& c23PushPullDcFeedback();
const CircuitDef& c24SrppHeadphone();
const CircuitDef& c25CurrentSink();
const CircuitDef& c26Ccda();
const CircuitDef& c27JanusShuntRegulator();
const CircuitDef& c28TotemPoleSplitter();
const CircuitDef& c29AnodeFeedback();
const CircuitDef& c30MuFollower();
const CircuitDef& c31CascodeSrppPlus();
const CircuitDef& c32CommonGrid();
const CircuitDef& c33WhiteFollower();
const CircuitDef& c34HalfMu();
const CircuitDef& c35FollowerCurrentSink();
const CircuitDef& c36PentodeCommonCathode();
const CircuitDef& c37SingleEndedTriode();
const CircuitDef& c38SingleEndedPentode();
const CircuitDef& c39SelfBiasedTriodePushPull();
const CircuitDef& c40SelfBiasedPentodePushPull();
const CircuitDef& c41FixedBiasTriodePushPull();
const CircuitDef& c42FixedBiasPentodePushPull();

namespace registry_detail {

using Entry = const CircuitDef& (*)();

inline constexpr Entry kCircuits[] = {
    c01CommonCathode,
    c02SelfBiasCathodyne,
    c03CathodeFollower,
    c04CommonCathodeFollower,
    c05FixedBiasCathodyne,
    c06TrueCascode,
    c07DifferentialCathodeBias,
    c08CascodeSrpp,
    c09DirectCoupled,
    c10DifferentialCurrentSource,
    c11BalancedMixer,
    c12AsymmetricalMixer,
    c13ConstantCurrentBias,
    c14LevelShifting,
    c15LongTailedPair,
    c16TwoTriodeRegulator,
    c17SeriesRegulator,
    c18ShuntRegulator,
    c19ThreeStageFiltered,
    c20TwoStageFiltered,
    c21DoubleCascode,
    c22FixedBiasCascodeSrpp,
    c23PushPullDcFeedback,
    c24SrppHeadphone,
    c25CurrentSink,
    c26Ccda,
    c27JanusShuntRegulator,
    c28TotemPoleSplitter,
    c29AnodeFeedback,
    c30MuFollower,
    c31CascodeSrppPlus,
    c32CommonGrid,
    c33WhiteFollower,
    c34HalfMu,
    c35FollowerCurrentSink,
    c36PentodeCommonCathode,
    c37SingleEndedTriode,
    c38SingleEndedPentode,
    c39SelfBiasedTriodePushPull,
    c40SelfBiasedPentodePushPull,
    c41FixedBiasTriodePushPull,
    c42FixedBiasPentodePushPull,
};

} // namespace registry_detail

// The number of circuits: the size of the registry.
inline constexpr int kCircuitCount = static_cast<int>(std::size(registry_detail::kCircuits));
