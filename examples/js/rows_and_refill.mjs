import {loadKorvan} from 'korvan-calc-value-provider';

// Each point carries its row as callerData (a BigInt) through the library's reordering.
const rows = [{room: 'hall', type: 1, inputValue: 50}, {room: 'kitchen', type: 0, inputValue: 100},
              {room: 'study', type: 3, inputValue: 80}];
const korvan = await loadKorvan();
const solution = korvan.generate(rows.map((row) => row.type), rows.map((row) => row.inputValue),
                                 [], rows.map((_, index) => index));
for (const entry of solution.entries) {
  console.log(rows[Number(entry.callerData)].room, entry.valveSize);
}

// Edit a point and solve every entry again. A fill recomputes demands with half the multiplier
// a generate uses, so entries from a fill and new points of a generate do not mix.
const edited = solution.entries.map((entry) => (
  entry.callerData === 2n ? {...entry, inputValue: 400} : entry));
const refilled = korvan.fill(edited);
console.log(refilled.entries.map((entry) => rows[Number(entry.callerData)].room).join(' > '));
console.log('scale factor', refilled.scaleFactor);
